#include "calc/ui/FormWordWindow.h"

#include "platform/Cp1251.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace arv {

TFormWord::TFormWord(QWidget* owner) : QDialog(owner) {
    setObjectName("FormWord");
    setWindowTitle(ToQString(Ru("Ждите")));
    // The rest of the program waits while the work runs.
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(this);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar1");
    bar_->setVisible(false);
    auto* stop = new QPushButton(ToQString(Ru("Прервать")), this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(stop, 0, Qt::AlignRight);
    connect(stop, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    resize(360, 120);
}

void TFormWord::SetCaption(const std::string& caption) {
    setWindowTitle(ToQString(caption));
}

std::string TFormWord::Caption() const {
    return FromQString(windowTitle());
}

void TFormWord::SetLabel(const std::string& text) {
    label_->setText(ToQString(text));
}

void TFormWord::Show() {
    cancelled_ = false;
    ShowWindowRestored(*this);
    Update();
}

void TFormWord::Close() {
    hide();
}

void TFormWord::Update() {
    QApplication::processEvents();
}

void TFormWord::SetBarVisible(bool visible) {
    bar_->setVisible(visible);
}

void TFormWord::SetBarMax(int max) {
    bar_->setMinimum(0);
    bar_->setMaximum(std::max(0, max));
}

void TFormWord::SetBarPosition(int position) {
    bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
}

int TFormWord::BarPosition() const {
    return bar_->value();
}

void TFormWord::StepBar(int by) {
    SetBarPosition(bar_->value() + by);
}

void TFormWord::reject() {
    // Escape or the close box asks the work to stop; the work closes the window.
    cancelled_ = true;
}

void CreateStabilityWindows(QWidget* owner) {
    auto* window = new TFormWord(owner);
    InstallProgressWindow(window);
    // The silent stand-in takes over when the owner goes.
    QObject::connect(window, &QObject::destroyed, [] { InstallProgressWindow(nullptr); });
}

} // namespace arv
