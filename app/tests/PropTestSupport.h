// The inspector over the drawing window's test fixture: a recording double
// of the inspector's dialogs and the grid actions a user performs.
#pragma once

#include "app/DrawWin.h"
#include "app/PropDialogs.h"
#include "app/tests/DrawWinTestSupport.h"
#include "document/ShapeFigures.h"
#include "document/TextFigures.h"

#include <deque>
#include <functional>

namespace arv::test {

// Answers each dialog with the next scripted edit (false: Cancel); an
// unscripted dialog cancels.
class TScriptedPropDialogs : public IPropDialogs {
public:
    std::deque<std::function<bool(int32_t&)>> colours;
    std::deque<std::function<bool(TFontRecord&)>> fonts;
    std::deque<std::function<bool(TPenBrushDlgState&)>> penBrush;
    std::deque<std::function<bool(TFormAngleState&)>> angles;
    std::deque<std::function<bool(TEnterPicState&)>> pictures;
    std::vector<TPropMenu> popups;
    std::vector<TFormAngleState> anglesShown;
    std::vector<TPenBrushDlgState> penBrushShown;
    std::vector<TEnterPicState> picturesShown;
    int gridChanges = 0;

    template <class T, class S> static bool Next(std::deque<T>& q, S& state) {
        if (q.empty()) return false;
        auto f = q.front();
        q.pop_front();
        return f(state);
    }
    bool ChooseColor(int32_t& c) override { return Next(colours, c); }
    bool ChooseFont(TFontRecord& f) override { return Next(fonts, f); }
    bool PenBrushDialog(TPenBrushDlgState& s) override {
        penBrushShown.push_back(s);
        return Next(penBrush, s);
    }
    bool AngleDialog(TFormAngleState& s) override {
        FormAngleActivate(s);
        anglesShown.push_back(s);
        return Next(angles, s);
    }
    bool EnterPicDialog(TEnterPicState& s) override {
        picturesShown.push_back(s);
        return Next(pictures, s);
    }
    void PopupPropMenu(const TPropMenu& menu, int, int) override { popups.push_back(menu); }
    std::function<void()> onGridChanged;
    void PropGridChanged() override {
        ++gridChanges;
        if (onGridChanged) onGridChanged();
    }
};

struct PropTest : DrawWinTest {
    TScriptedPropDialogs propDialogs;

    // Started without a drawing; a fixture that starts otherwise says false.
    explicit PropTest(bool start = true) {
        w->SetPropDialogs(&propDialogs);
        if (start) Start();
    }

    // Makes figure i current and shows its rows, as a click on the plan does.
    void Select(int32_t i) {
        w->Doc().current = i;
        w->ShowProperties(false);
    }
    int RowOf(int id) const { return w->MapPropertyRow(id, false); }
    std::string Value(int id) const { return w->PropValues[static_cast<size_t>(RowOf(id))]; }
    std::string Caption(int id) const { return w->PropCaptions[static_cast<size_t>(RowOf(id))]; }
    // Clicks the value cell of the identifier's row, as the grid does it.
    void Enter(int id) {
        const int row = RowOf(id);
        bool can = false;
        w->GridPropSelectCell(1, row, can);
        ASSERT_TRUE(can);
        w->GridProp.Col = 1;
        w->GridProp.Row = row;
        std::string text;
        w->GridPropGetEditText(1, row, text);
    }
    // Types the text into the entered cell and presses Enter.
    void Type(int id, const std::string& cp1251) {
        Enter(id);
        w->GridPropSetEditText(1, RowOf(id), cp1251);
        char enter = '\r';
        w->GridPropKeyPress(enter);
    }
    // Clicks the caption cell of the identifier's row, then the menu item
    // with that caption (UTF-8).
    void Menu(int id, const std::string& itemUtf8) {
        propDialogs.popups.clear();
        w->GridPropFixedCellClick(0, RowOf(id));
        ASSERT_EQ(1u, propDialogs.popups.size()) << "no menu for " << id;
        const auto& items = propDialogs.popups.back().Items;
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].Caption == Ru(itemUtf8)) return w->EditPropertyByMenu(static_cast<int>(i));
        FAIL() << "no item " << itemUtf8;
    }
    std::vector<std::string> MenuOf(int id) {
        propDialogs.popups.clear();
        w->GridPropFixedCellClick(0, RowOf(id));
        std::vector<std::string> out;
        if (!propDialogs.popups.empty())
            for (const auto& i : propDialogs.popups.back().Items)
                out.push_back((i.Checked ? "*" : "") + Cp1251ToUtf8(i.Caption));
        return out;
    }
};

} // namespace arv::test
