// Reader of the binary mine file: a 16-byte header, then tagged records up to
// the end of the file. The whole file is in memory and every read goes
// through one bounded cursor, so a size field can never reach past the bytes
// that are there, and nothing is allocated before its bytes were found.
#pragma once

#include "converter/MineTables.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>

namespace halvard {

using TBytes = std::span<const uint8_t>;

// The label a tag's reads are reported under ("unknown tag" for tags the
// format does not define).
const char* TagName(uint16_t tag);

class TMineReader {
public:
    // Messages (errors, and the trace in verbose mode) go to `console`.
    TMineReader(TBytes file, TMineTables& tables, std::ostream& console, bool verbose);

    // Reads the header and every record. False after a read error, which has
    // been reported as "Error reading file (<tag name>)!"; the tables then
    // hold what was read before it and must not be written.
    bool ReadMine();
    // Records of tags the format defines, read by ReadMine. Random bytes, a
    // text or an empty file read as nothing but unknown tags.
    int KnownRecordCount() const { return knownRecords_; }

    // Reads the 10-byte tag header; false at the end of the file, that is
    // when the header is cut short or nothing follows it.
    bool GetTag(TTag& tag);

    // Takes up to len bytes at the current position into `body`. Returns 1,
    // after reporting the error, when fewer bytes were there; 0 otherwise.
    int SmartRead(const char* name, size_t len, TBytes& body);

    void CreateNodes(size_t n);
    void CreateBranches(size_t n);

private:
    void ReadHeader();
    bool ReadBody(const TTag& tag);
    bool ReadCountTag(const TTag& tag, bool nodes);
    bool ReadNodeLogical(const TTag& tag);
    bool ReadText(const TTag& tag);
    bool ReadMineInfo(const TTag& tag);
    template <class T> bool ReadArray(const TTag& tag, std::vector<T>& table, bool nodeTable);
    template <class TRecord, class TDecode>
    bool ReadRecords(const TTag& tag, size_t recordSize, std::vector<TRecord>& list,
                     TDecode decode);
    bool ReportError(const char* name);

    TBytes file_;
    size_t pos_ = 0;
    TMineTables& tables_;
    std::ostream& console_;
    bool verbose_;
    int knownRecords_ = 0;
};

} // namespace halvard
