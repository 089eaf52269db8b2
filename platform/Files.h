// Files and paths. Names in memory are CP1251 like all other text; they are
// turned into the system's UTF-8 only where a file is opened. Both '\' and
// '/' separate folders, so names written the Windows way still work.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

bool IsPathDelimiter(char c);
// Folder part with its trailing separator ("" when none).
std::string ExtractFilePath(std::string_view name);
// Folder part without the trailing separator.
std::string ExtractFileDir(std::string_view name);
std::string ExtractFileName(std::string_view name);
// Extension with its dot ("" when none); a dot in a folder name does not count.
std::string ExtractFileExt(std::string_view name);
// ext includes the dot; "" removes the extension.
std::string ChangeFileExt(std::string_view name, std::string_view ext);
std::string IncludeTrailingPathDelimiter(std::string_view dir);
// '\' turned into '/'.
std::string NormalizeSeparators(std::string_view name);

// The system path of a CP1251 name.
std::filesystem::path NativePath(std::string_view name);
// A system path as a CP1251 name.
std::string FromNativePath(const std::filesystem::path& p);

bool FileExists(std::string_view name);
bool DirectoryExists(std::string_view name);
bool DeleteFile(std::string_view name);
bool ForceDirectories(std::string_view dir);

// Looks a relative name up below a folder without regard to letter case,
// folder by folder, as the Windows file system does. Returns the name as it
// is on disk (folder + relative), or "" when there is no such file. An exact
// match wins over a case-insensitive one.
std::string FindFileNoCase(std::string_view folder, std::string_view relative);
// Files of a folder whose extension equals ext without regard to case, sorted
// by name without regard to case. Returns full names.
std::vector<std::string> ListFilesWithExt(std::string_view folder, std::string_view ext);

// The program folder: the executable's folder with a trailing separator.
// Tests and the program's start-up may set it.
const std::string& ProgramDir();
void SetProgramDir(std::string_view dir);
// A file of the program folder, found without regard to letter case; when it
// does not exist yet, the name as given below the program folder.
std::string ProgramFile(std::string_view relative);

// Whole file as bytes; false when it cannot be read.
bool ReadFileBytes(std::string_view name, std::string& bytes);
// Splits text into lines. A run of CRs followed by LF, and LF CR, are one line
// end each (a file converted twice ends its lines in CR CR LF); a lone LF is
// one; so is a CR that no LF follows (a stray CR must not reach a cell).
// Stops at a DOS end-of-file byte 0x1A when stopAtEof. A final line without
// an end counts; an empty tail after the last line end does not.
std::vector<std::string> SplitLines(std::string_view text, bool stopAtEof = false);
bool ReadTextLines(std::string_view name, std::vector<std::string>& lines, bool stopAtEof = false);

// Writes the bytes to a temporary file beside the target and renames it over
// the target only when everything was written: the file is complete or not
// written at all. False (and errorText set) on failure.
// sync: wait until the data is on the disk before the rename.
bool WriteFileAtomic(std::string_view name, std::string_view bytes,
                     std::string* errorText = nullptr, bool sync = true);

// For a writer that writes only to a file of its own: a new empty file
// beside the target under a name no file had, and its rename over the
// target once complete. False when the folder cannot be written, or the
// rename failed.
bool CreateFileBeside(std::string_view name, std::string& tempName);
bool ReplaceFileWith(std::string_view name, std::string_view tempName);

// Collects CP1251 text lines and writes them with CR LF in one atomic step.
class TTextFileWriter {
public:
    explicit TTextFileWriter(std::string fileName, std::string lineEnd = "\r\n");
    void WriteLine(std::string_view line);
    void Write(std::string_view text);
    const std::string& Text() const { return text_; }
    bool Commit(std::string* errorText = nullptr);

private:
    std::string fileName_;
    std::string lineEnd_;
    std::string text_;
};

} // namespace arv
