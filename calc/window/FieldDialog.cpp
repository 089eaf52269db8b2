#include "calc/window/FieldDialog.h"

namespace arv {

namespace {
class TCancelDialog : public IFieldDialog {
public:
    int ShowModal(TFDialog1&) override { return 2; }
};
TCancelDialog gCancel;
IFieldDialog* gDialog = &gCancel;
} // namespace

void InstallFieldDialog(IFieldDialog* dialog) {
    gDialog = dialog ? dialog : &gCancel;
}

IFieldDialog& FieldDialog() {
    return *gDialog;
}

TFDialog1& FDialog1() {
    static TFDialog1 d;
    return d;
}

} // namespace arv
