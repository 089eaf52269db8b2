#include "Files.h"

#include "Cp1251.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <system_error>
#include <unistd.h>

namespace arv {

namespace fs = std::filesystem;

bool IsPathDelimiter(char c) {
    return c == '/' || c == '\\';
}

namespace {
size_t LastDelimiter(std::string_view name) {
    for (size_t i = name.size(); i > 0; --i)
        if (IsPathDelimiter(name[i - 1])) return i - 1;
    return std::string_view::npos;
}

std::string& ProgramDirRef() {
    static std::string dir = [] {
        std::error_code ec;
        fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        if (ec) return std::string("./");
        return IncludeTrailingPathDelimiter(FromNativePath(exe.parent_path()));
    }();
    return dir;
}
} // namespace

std::string ExtractFilePath(std::string_view name) {
    auto p = LastDelimiter(name);
    return p == std::string_view::npos ? std::string() : std::string(name.substr(0, p + 1));
}

std::string ExtractFileDir(std::string_view name) {
    auto p = LastDelimiter(name);
    if (p == std::string_view::npos) return {};
    if (p == 0) return std::string(name.substr(0, 1));
    return std::string(name.substr(0, p));
}

std::string ExtractFileName(std::string_view name) {
    auto p = LastDelimiter(name);
    return std::string(p == std::string_view::npos ? name : name.substr(p + 1));
}

std::string ExtractFileExt(std::string_view name) {
    std::string file = ExtractFileName(name);
    auto dot = file.rfind('.');
    return dot == std::string::npos ? std::string() : file.substr(dot);
}

std::string ChangeFileExt(std::string_view name, std::string_view ext) {
    std::string file = ExtractFileName(name);
    std::string path = ExtractFilePath(name);
    auto dot = file.rfind('.');
    if (dot != std::string::npos) file.resize(dot);
    return path + file + std::string(ext);
}

std::string IncludeTrailingPathDelimiter(std::string_view dir) {
    std::string d(dir);
    if (d.empty() || !IsPathDelimiter(d.back())) d += '/';
    return d;
}

std::string NormalizeSeparators(std::string_view name) {
    std::string s(name);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

fs::path NativePath(std::string_view name) {
    std::string utf8 = Cp1251ToUtf8(NormalizeSeparators(name));
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string FromNativePath(const fs::path& p) {
    std::u8string u = p.u8string();
    return Utf8ToCp1251(std::string_view(reinterpret_cast<const char*>(u.data()), u.size()));
}

bool FileExists(std::string_view name) {
    std::error_code ec;
    return !name.empty() && fs::is_regular_file(NativePath(name), ec);
}

bool DirectoryExists(std::string_view name) {
    std::error_code ec;
    return !name.empty() && fs::is_directory(NativePath(name), ec);
}

bool DeleteFile(std::string_view name) {
    std::error_code ec;
    return fs::remove(NativePath(name), ec);
}

bool ForceDirectories(std::string_view dir) {
    std::error_code ec;
    fs::create_directories(NativePath(dir), ec);
    return DirectoryExists(dir);
}

std::string FindFileNoCase(std::string_view folder, std::string_view relative) {
    std::string current = IncludeTrailingPathDelimiter(folder.empty() ? "./" : folder);
    std::string rel = NormalizeSeparators(relative);
    size_t start = 0;
    std::string result = current;
    while (start <= rel.size()) {
        size_t end = rel.find('/', start);
        bool last = end == std::string::npos;
        std::string part = rel.substr(start, last ? std::string::npos : end - start);
        start = last ? rel.size() + 1 : end + 1;
        if (part.empty() || part == ".") continue;
        std::error_code ec;
        fs::path exact = NativePath(result + part);
        std::string found;
        if (fs::exists(exact, ec)) {
            found = part;
        } else {
            std::vector<std::string> candidates;
            for (fs::directory_iterator it(NativePath(result), ec), e; !ec && it != e;
                 it.increment(ec)) {
                std::string n = FromNativePath(it->path().filename());
                if (AnsiSameText(n, part)) candidates.push_back(n);
            }
            if (candidates.empty()) return {};
            std::sort(candidates.begin(), candidates.end());
            found = candidates.front();
        }
        result += found;
        if (!last) result += '/';
    }
    return FileExists(result) || DirectoryExists(result) ? result : std::string();
}

std::vector<std::string> ListFilesWithExt(std::string_view folder, std::string_view ext) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(NativePath(folder), ec), e; !ec && it != e; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string n = FromNativePath(it->path().filename());
        if (AnsiSameText(ExtractFileExt(n), ext)) names.push_back(n);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        int c = AnsiCompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    std::string dir = IncludeTrailingPathDelimiter(folder);
    for (auto& n : names) n = dir + n;
    return names;
}

const std::string& ProgramDir() {
    return ProgramDirRef();
}

void SetProgramDir(std::string_view dir) {
    ProgramDirRef() = IncludeTrailingPathDelimiter(dir);
}

std::string ProgramFile(std::string_view relative) {
    std::string found = FindFileNoCase(ProgramDir(), relative);
    return found.empty() ? ProgramDir() + NormalizeSeparators(relative) : found;
}

bool ReadFileBytes(std::string_view name, std::string& bytes) {
    // A folder opens as a stream on Linux, and its first read throws.
    std::error_code ec;
    if (fs::is_directory(NativePath(name), ec)) return false;
    std::ifstream in(NativePath(name), std::ios::binary);
    if (!in) return false;
    std::string data;
    try {
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        return false;
    }
    if (in.bad()) return false;
    bytes = std::move(data);
    return true;
}

std::vector<std::string> SplitLines(std::string_view text, bool stopAtEof) {
    if (stopAtEof) {
        auto eof = text.find('\x1A');
        if (eof != std::string_view::npos) text = text.substr(0, eof);
    }
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        size_t next = end + 1;
        if (text[end] == '\n') {
            if (next < text.size() && text[next] == '\r') ++next; // LF CR
        } else {
            const size_t run = text.find_first_not_of('\r', end);
            if (run != std::string_view::npos && text[run] == '\n') {
                next = run + 1; // CR ... CR LF
            }
        }
        lines.emplace_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

bool ReadTextLines(std::string_view name, std::vector<std::string>& lines, bool stopAtEof) {
    std::string bytes;
    if (!ReadFileBytes(name, bytes)) return false;
    lines = SplitLines(bytes, stopAtEof);
    return true;
}

namespace {

// Opens a new file beside the target under a name that no file has: a file
// of the user's is never taken for the temporary one.
int CreateBeside(const fs::path& target, fs::path& temp) {
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    static std::mt19937_64 rng{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = dir / (target.filename().string() + ".tmp" + std::to_string(rng() % 1000000));
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool RenameOver(const fs::path& temp, const fs::path& target) {
    // Keep the permissions of a file that is replaced.
    std::error_code ec;
    auto st = fs::status(target, ec);
    if (!ec && fs::exists(st)) fs::permissions(temp, st.permissions(), ec);
    return ::rename(temp.c_str(), target.c_str()) == 0;
}

} // namespace

bool WriteFileAtomic(std::string_view name, std::string_view bytes, std::string* errorText,
                     bool sync) {
    fs::path target = NativePath(name);
    fs::path temp;
    auto fail = [&](const char* what, bool made) {
        if (errorText) *errorText = std::string(what) + ": " + std::strerror(errno);
        std::error_code ec;
        if (made) fs::remove(temp, ec);
        return false;
    };
    int fd = CreateBeside(target, temp);
    if (fd < 0) return fail("cannot create", false);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return fail("cannot write", true);
        }
        done += static_cast<size_t>(n);
    }
    if (sync && ::fsync(fd) != 0 && errno != EINVAL) {
        ::close(fd);
        return fail("cannot flush", true);
    }
    if (::close(fd) != 0) return fail("cannot close", true);
    if (!RenameOver(temp, target)) return fail("cannot rename", true);
    return true;
}

bool CreateFileBeside(std::string_view name, std::string& tempName) {
    fs::path temp;
    const int fd = CreateBeside(NativePath(name), temp);
    if (fd < 0) return false;
    ::close(fd);
    tempName = FromNativePath(temp);
    return true;
}

bool ReplaceFileWith(std::string_view name, std::string_view tempName) {
    return RenameOver(NativePath(tempName), NativePath(name));
}

TTextFileWriter::TTextFileWriter(std::string fileName, std::string lineEnd)
    : fileName_(std::move(fileName)), lineEnd_(std::move(lineEnd)) {}

void TTextFileWriter::WriteLine(std::string_view line) {
    text_.append(line);
    text_.append(lineEnd_);
}

void TTextFileWriter::Write(std::string_view text) {
    text_.append(text);
}

bool TTextFileWriter::Commit(std::string* errorText) {
    return WriteFileAtomic(fileName_, text_, errorText);
}

} // namespace arv
