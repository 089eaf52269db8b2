#include "OfficeReadBack.h"

#include "platform/office/ZipPackage.h"

#include <cstdlib>

namespace arv::test {

namespace {

std::unique_ptr<TXmlNode> Part(const std::string& file, const std::string& part) {
    std::string bytes;
    if (!ReadZipPart(file, part, bytes)) return nullptr;
    return ParseXml(bytes);
}

std::string RunsText(const TXmlNode& p) {
    std::string text;
    for (const TXmlNode* r : p.Find("w:r"))
        for (const auto& c : r->Children) {
            if (c->Name == "w:t") text += c->Text;
            if (c->Name == "w:tab") text += '\t';
            if (c->Name == "w:br") text += '\n';
        }
    return text;
}

std::string Jc(const TXmlNode& p) {
    if (const TXmlNode* ppr = p.First("w:pPr"))
        if (const TXmlNode* jc = ppr->First("w:jc")) return jc->Attr("w:val");
    return "";
}

bool AnyBold(const TXmlNode& p) {
    for (const TXmlNode* r : p.Find("w:r"))
        if (const TXmlNode* rpr = r->First("w:rPr"))
            if (rpr->First("w:b")) return true;
    return false;
}

int RunSize(const TXmlNode& p) {
    for (const TXmlNode* r : p.Find("w:r"))
        if (const TXmlNode* rpr = r->First("w:rPr"))
            if (const TXmlNode* sz = rpr->First("w:sz"))
                return std::atoi(sz->Attr("w:val").c_str());
    return 0;
}

// "AB12" as (12, 28).
std::pair<int, int> CellRef(const std::string& ref) {
    int col = 0;
    size_t i = 0;
    while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z') col = col * 26 + (ref[i++] - 'A' + 1);
    return {std::atoi(ref.c_str() + i), col};
}

} // namespace

TDocxRead ReadDocx(const std::string& fileName) {
    TDocxRead out;
    out.Parts = ZipPartNames(fileName);
    auto doc = Part(fileName, "word/document.xml");
    auto styles = Part(fileName, "word/styles.xml");
    if (!doc || !styles) return out;
    const TXmlNode* body = doc->First("w:body");
    if (!body) return out;
    for (const auto& block : body->Children) {
        if (block->Name == "w:p") {
            out.Order += 'p';
            out.Paragraphs.push_back(
                {RunsText(*block), Jc(*block), AnyBold(*block), RunSize(*block)});
        } else if (block->Name == "w:tbl") {
            out.Order += 't';
            TDocxTableRead t;
            if (const TXmlNode* grid = block->First("w:tblGrid"))
                for (const TXmlNode* g : grid->All("w:gridCol"))
                    t.GridTwips.push_back(std::atoi(g->Attr("w:w").c_str()));
            if (const TXmlNode* mar = block->First("w:tblPr"))
                if ((mar = mar->First("w:tblCellMar")) && (mar = mar->First("w:left")))
                    t.CellMarginTwips = std::atoi(mar->Attr("w:w").c_str());
            for (const TXmlNode* tr : block->All("w:tr")) {
                std::vector<TDocxCellRead> row;
                for (const TXmlNode* tc : tr->All("w:tc")) {
                    const TXmlNode* p = tc->First("w:p");
                    row.push_back(p ? TDocxCellRead{RunsText(*p), AnyBold(*p), Jc(*p), RunSize(*p)}
                                    : TDocxCellRead{});
                }
                t.Rows.push_back(std::move(row));
            }
            out.Tables.push_back(std::move(t));
        } else if (block->Name == "w:sectPr") {
            if (const TXmlNode* sz = block->First("w:pgSz")) {
                out.PageW = std::atoi(sz->Attr("w:w").c_str());
                out.PageH = std::atoi(sz->Attr("w:h").c_str());
                out.Orient = sz->Attr("w:orient");
            }
            if (const TXmlNode* mar = block->First("w:pgMar")) {
                out.MarginLeft = std::atoi(mar->Attr("w:left").c_str());
                out.MarginRight = std::atoi(mar->Attr("w:right").c_str());
            }
        }
    }
    for (const TXmlNode* sz : styles->Find("w:sz")) {
        out.DefaultSizeHalfPoints = std::atoi(sz->Attr("w:val").c_str());
        break;
    }
    out.Ok = true;
    return out;
}

const TXlsxCellRead* TXlsxRead::At(int row, int col) const {
    auto it = Cells.find({row, col});
    return it == Cells.end() ? nullptr : &it->second;
}

TXlsxRead ReadXlsx(const std::string& fileName) {
    TXlsxRead out;
    auto workbook = Part(fileName, "xl/workbook.xml");
    auto sheet = Part(fileName, "xl/worksheets/sheet1.xml");
    auto styles = Part(fileName, "xl/styles.xml");
    if (!workbook || !sheet || !styles) return out;
    auto shared = Part(fileName, "xl/sharedStrings.xml");
    std::vector<std::string> strings;
    if (shared)
        for (const TXmlNode* si : shared->All("si")) strings.push_back(si->AllText());

    for (const TXmlNode* s : workbook->Find("sheet")) out.SheetName = s->Attr("name");
    for (const TXmlNode* d : workbook->Find("definedName"))
        if (d->Attr("name") == "_xlnm.Print_Titles") out.PrintTitles = d->Text;

    struct TBorder {
        std::string l, t, r, b;
    };
    std::vector<TBorder> borders;
    if (const TXmlNode* bs = styles->First("borders"))
        for (const TXmlNode* b : bs->All("border")) {
            auto side = [&](const char* n) {
                const TXmlNode* e = b->First(n);
                return e ? e->Attr("style") : std::string();
            };
            borders.push_back({side("left"), side("top"), side("right"), side("bottom")});
        }
    std::vector<const TXmlNode*> xfs;
    if (const TXmlNode* cx = styles->First("cellXfs")) xfs = cx->All("xf");

    for (const TXmlNode* col : sheet->Find("col")) {
        const int min = std::atoi(col->Attr("min").c_str()),
                  max = std::atoi(col->Attr("max").c_str());
        for (int c = min; c <= max; ++c)
            out.ColumnWidths[c] = std::atof(col->Attr("width").c_str());
    }
    for (const TXmlNode* row : sheet->Find("row")) {
        if (!row->Attr("ht").empty())
            out.RowHeights[std::atoi(row->Attr("r").c_str())] = std::atof(row->Attr("ht").c_str());
        for (const TXmlNode* c : row->All("c")) {
            TXlsxCellRead cell;
            const TXmlNode* v = c->First("v");
            if (c->Attr("t") == "s" && v) {
                size_t k = static_cast<size_t>(std::atoi(v->Text.c_str()));
                if (k < strings.size()) cell.Text = strings[k];
            } else if (c->Attr("t") == "inlineStr") {
                cell.Text = c->AllText();
            } else if (v) {
                cell.IsNumber = true;
                cell.Number = std::atof(v->Text.c_str());
            }
            const size_t s = static_cast<size_t>(std::atoi(c->Attr("s").c_str()));
            if (s < xfs.size()) {
                const size_t b = static_cast<size_t>(std::atoi(xfs[s]->Attr("borderId").c_str()));
                if (b < borders.size()) {
                    cell.Left = borders[b].l;
                    cell.Top = borders[b].t;
                    cell.Right = borders[b].r;
                    cell.Bottom = borders[b].b;
                }
                if (const TXmlNode* a = xfs[s]->First("alignment")) {
                    cell.HAlign = a->Attr("horizontal");
                    cell.VAlign = a->Attr("vertical");
                    cell.Wrap = a->Attr("wrapText") == "1";
                }
            }
            out.Cells[CellRef(c->Attr("r"))] = cell;
        }
    }
    out.Ok = true;
    return out;
}

} // namespace arv::test
