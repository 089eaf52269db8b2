#include "platform/office/XlsxWriter.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"

#include <xlsxwriter.h>

#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace arv {

namespace {

uint8_t BorderOf(TXlsxLine line) {
    switch (line) {
    case TXlsxLine::Thin:
        return LXW_BORDER_THIN;
    case TXlsxLine::Medium:
        return LXW_BORDER_MEDIUM;
    default:
        return LXW_BORDER_NONE;
    }
}

lxw_format* MakeFormat(lxw_workbook* book, const TXlsxStyle& s) {
    lxw_format* f = workbook_add_format(book);
    format_set_left(f, BorderOf(s.Left));
    format_set_top(f, BorderOf(s.Top));
    format_set_right(f, BorderOf(s.Right));
    format_set_bottom(f, BorderOf(s.Bottom));
    if (s.Wrap) format_set_text_wrap(f);
    switch (s.HAlign) {
    case TXlsxHAlign::Left:
        format_set_align(f, LXW_ALIGN_LEFT);
        break;
    case TXlsxHAlign::Center:
        format_set_align(f, LXW_ALIGN_CENTER);
        break;
    case TXlsxHAlign::Right:
        format_set_align(f, LXW_ALIGN_RIGHT);
        break;
    default:
        break;
    }
    switch (s.VAlign) {
    case TXlsxVAlign::Top:
        format_set_align(f, LXW_ALIGN_VERTICAL_TOP);
        break;
    case TXlsxVAlign::Center:
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        break;
    default:
        break;
    }
    return f;
}

// A longer text is cut: the file would be refused whole otherwise.
std::string CellText(const std::string& cp1251) {
    return Cp1251ToUtf8(cp1251.size() > XlsxMaxTextLength ? cp1251.substr(0, XlsxMaxTextLength)
                                                          : cp1251);
}

bool Fail(std::string* errorText, const std::string& what, lxw_error e) {
    if (errorText) *errorText = what + ": " + lxw_strerror(e);
    return false;
}

} // namespace

const TXlsxCell* TXlsxSheet::Find(int row, int column) const {
    auto it = Cells.find({row, column});
    return it == Cells.end() ? nullptr : &it->second;
}

bool WriteXlsx(const TXlsxSheet& sheet, const std::string& fileName, std::string* errorText) {
    // The library writes the file itself; it goes to a temporary name beside
    // the target and is renamed over it only when complete.
    const std::filesystem::path target = NativePath(fileName);
    std::filesystem::path temp = target;
    temp += ".tmp" + std::to_string(::getpid());
    lxw_workbook_options options{};
    options.tmpdir = nullptr;
    lxw_workbook* book = workbook_new_opt(temp.c_str(), &options);
    if (!book) {
        if (errorText) *errorText = "cannot create " + FromNativePath(temp);
        return false;
    }
    // An unnamed sheet gets the name the Russian spreadsheet gives a new one.
    const std::string name = sheet.Name.empty() ? "Лист1" : Cp1251ToUtf8(sheet.Name);
    lxw_worksheet* ws = workbook_add_worksheet(book, name.c_str());
    if (!ws) {
        workbook_close(book);
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        if (errorText) *errorText = "invalid sheet name";
        return false;
    }

    std::map<TXlsxStyle, lxw_format*> formats;
    auto formatOf = [&](const TXlsxStyle& s) -> lxw_format* {
        if (s.IsDefault()) return nullptr;
        auto it = formats.find(s);
        if (it == formats.end()) it = formats.emplace(s, MakeFormat(book, s)).first;
        return it->second;
    };

    lxw_error error = LXW_NO_ERROR;
    for (const auto& [column, width] : sheet.ColumnWidths) {
        const auto c = static_cast<lxw_col_t>(column - 1);
        if (error == LXW_NO_ERROR) error = worksheet_set_column(ws, c, c, width, nullptr);
    }
    for (const auto& [row, height] : sheet.RowHeights)
        if (error == LXW_NO_ERROR)
            error = worksheet_set_row(ws, static_cast<lxw_row_t>(row - 1), height, nullptr);
    for (const auto& [at, cell] : sheet.Cells) {
        if (error != LXW_NO_ERROR) break;
        const auto r = static_cast<lxw_row_t>(at.first - 1);
        const auto c = static_cast<lxw_col_t>(at.second - 1);
        lxw_format* f = formatOf(cell.Style);
        switch (cell.Kind) {
        case TXlsxKind::Text:
            error = worksheet_write_string(ws, r, c, CellText(cell.Value).c_str(), f);
            break;
        case TXlsxKind::Number:
            error = worksheet_write_number(ws, r, c, cell.Number, f);
            break;
        default:
            if (f) error = worksheet_write_blank(ws, r, c, f);
            break;
        }
    }
    if (error == LXW_NO_ERROR && sheet.PrintTitleFirst > 0)
        error = worksheet_repeat_rows(ws, static_cast<lxw_row_t>(sheet.PrintTitleFirst - 1),
                                      static_cast<lxw_row_t>(sheet.PrintTitleLast - 1));
    lxw_error closed = workbook_close(book);
    if (error == LXW_NO_ERROR) error = closed;
    std::error_code ec;
    if (error != LXW_NO_ERROR) {
        std::filesystem::remove(temp, ec);
        return Fail(errorText, "xlsx", error);
    }
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        if (errorText) *errorText = ec.message();
        return false;
    }
    return true;
}

} // namespace arv
