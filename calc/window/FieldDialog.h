// The one-field dialog: a message line, a prompt line and an edit field with
// OK and Cancel. The window installs its implementation; tests script one.
#pragma once

#include <string>

namespace arv {

struct TFDialog1 {
    std::string Caption;
    std::string Label1; // message line
    std::string Label2; // prompt line
    std::string Edit1;  // text in and out
    bool Enabled = false;
};

class IFieldDialog {
public:
    virtual ~IFieldDialog() = default;
    // Shows the dialog modally; returns 1 for OK, 2 for Cancel. Edit1 holds
    // the typed text after OK.
    virtual int ShowModal(TFDialog1& dialog) = 0;
};

// null puts back the built-in one, which answers Cancel.
void InstallFieldDialog(IFieldDialog* dialog);
IFieldDialog& FieldDialog();
// The dialog's state, created at start-up and disabled.
TFDialog1& FDialog1();

} // namespace arv
