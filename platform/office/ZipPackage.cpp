#include "platform/office/ZipPackage.h"

#include "platform/Files.h"

#include <zip.h>

#include <cstdio>
#include <memory>

namespace arv {

namespace {

std::string ZipErrorText(zip_error_t* error) {
    std::string text = zip_error_strerror(error);
    zip_error_fini(error);
    return text;
}

void SetError(std::string* errorText, const std::string& text) {
    if (errorText) *errorText = text;
}

struct TZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};

} // namespace

void TZipPackage::Add(std::string partName, std::string bytes) {
    parts_.emplace_back(std::move(partName), std::move(bytes));
}

bool TZipPackage::Build(std::string& zipBytes, std::string* errorText) const {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!buffer) {
        SetError(errorText, ZipErrorText(&error));
        return false;
    }
    // The buffer outlives the archive: its bytes are read after the close.
    zip_source_keep(buffer);
    std::unique_ptr<zip_t, TZipCloser> archive(zip_open_from_source(buffer, ZIP_TRUNCATE, &error));
    if (!archive) {
        zip_source_free(buffer);
        SetError(errorText, ZipErrorText(&error));
        return false;
    }
    for (const auto& [name, bytes] : parts_) {
        zip_source_t* part = zip_source_buffer(archive.get(), bytes.data(), bytes.size(), 0);
        if (!part || zip_file_add(archive.get(), name.c_str(), part, ZIP_FL_ENC_UTF_8) < 0) {
            if (part) zip_source_free(part);
            SetError(errorText, zip_strerror(archive.get()));
            zip_source_free(buffer);
            return false;
        }
    }
    if (zip_close(archive.get()) < 0) {
        SetError(errorText, zip_strerror(archive.get()));
        zip_source_free(buffer);
        return false;
    }
    (void)archive.release();

    bool ok = zip_source_open(buffer) == 0;
    if (ok) {
        ok = zip_source_seek(buffer, 0, SEEK_END) == 0;
        zip_int64_t size = ok ? zip_source_tell(buffer) : -1;
        ok = ok && size >= 0 && zip_source_seek(buffer, 0, SEEK_SET) == 0;
        if (ok) {
            zipBytes.assign(static_cast<size_t>(size), '\0');
            ok = zip_source_read(buffer, zipBytes.data(), static_cast<zip_uint64_t>(size)) == size;
        }
        zip_source_close(buffer);
    }
    if (!ok) SetError(errorText, "zip buffer");
    zip_source_free(buffer);
    return ok;
}

bool TZipPackage::Write(const std::string& fileName, std::string* errorText) const {
    std::string bytes;
    if (!Build(bytes, errorText)) return false;
    return WriteFileAtomic(fileName, bytes, errorText, false);
}

bool ReadZipPart(const std::string& fileName, const std::string& partName, std::string& bytes) {
    int errorCode = 0;
    std::unique_ptr<zip_t, TZipCloser> archive(
        zip_open(NativePath(fileName).c_str(), ZIP_RDONLY, &errorCode));
    if (!archive) return false;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(archive.get(), partName.c_str(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return false;
    zip_file_t* file = zip_fopen(archive.get(), partName.c_str(), 0);
    if (!file) return false;
    bytes.assign(static_cast<size_t>(st.size), '\0');
    zip_int64_t got = zip_fread(file, bytes.data(), st.size);
    zip_fclose(file);
    return got == static_cast<zip_int64_t>(st.size);
}

std::vector<std::string> ZipPartNames(const std::string& fileName) {
    std::vector<std::string> names;
    int errorCode = 0;
    std::unique_ptr<zip_t, TZipCloser> archive(
        zip_open(NativePath(fileName).c_str(), ZIP_RDONLY, &errorCode));
    if (!archive) return names;
    zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i)
        if (const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0))
            names.emplace_back(name);
    return names;
}

} // namespace arv
