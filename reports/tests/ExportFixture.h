// The sample mine with its natural distribution run, the desktop services
// replaced by recording doubles and the program folder pointed at a fresh
// test folder; stability texts are made here in the layout the analyses
// leave them in.
#pragma once

#include "OfficeReadBack.h"

#include "reports/OfficeExports.h"

#include "calc/engine/NaturalDistribution.h"
#include "calc/testing/SampleMine.h"
#include "calc/window/ProgressWindow.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/office/ZipPackage.h"
#include "platform/testing/RecordingOpener.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace arv::test {

class TRecordingProgress : public IProgressWindow {
public:
    TRecordingProgress() { InstallProgressWindow(this); }
    ~TRecordingProgress() override { InstallProgressWindow(nullptr); }
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    std::string Caption() const override { return caption_; }
    void SetLabel(const std::string&) override {}
    void Show() override {
        ++Shows;
        Shown = true;
    }
    void Close() override {
        ++Closes;
        Shown = false;
    }
    void Update() override {}
    void SetBarVisible(bool) override {}
    void SetBarMax(int) override {}
    void SetBarPosition(int) override {}
    int BarPosition() const override { return 0; }
    void StepBar(int) override {}
    bool CancelRequested() const override { return false; }

    int Shows = 0, Closes = 0;
    bool Shown = false;

private:
    std::string caption_;
};

// One-branch result after a device failure: two lines on the branch, two
// heading lines, one line per consumer.
inline void MakeBranchStabilityTexts(TCalcContext& c, int consumers) {
    const std::string lead = Ru("Анализ устойчивости для ветви 5 Лава 1 восточная\n"
                                "Сопротивление вент.устройства  1,5  Сопротивление нарушенного "
                                "устройства   1,0000\n");
    c.StabilityText = lead + Ru("Номер\tТип\tТребуемый\tНормальный\tАварийный\tОтклонение,%\t"
                                "Наименование\tКатегория\n"
                                "ветви\tветви\tрасход, м3/с\tрасход, м3/с\tрасход, м3/с\t\t\t\n");
    c.StabilityTableText =
        lead + Ru("Номер ветви\tТип ветви\tТребуемый расход, м3/с\tНормальный расход, м3/с\t"
                  "Аварийный расход, м3/с\tОтклонение,%\tНаименование\tКатегория\n");
    for (int k = 0; k < consumers; ++k) {
        const std::string line = Ru("   " + std::to_string(5 + k) +
                                    "\tОЗ   \t    8,0\t    8,1\t    6,5\t  -18,8\tЛава " +
                                    std::to_string(k + 1) + "                   \t  2\n");
        c.StabilityText += line;
        c.StabilityTableText += line;
    }
    c.StabilityRowCount = 4 + consumers;
}

inline std::string FireHeading() {
    return Ru("Наименование ветви с пожаром\tРасход воздуха, м3/с\tДлина участка, м\tСечение, м2\t"
              "Угол наклона\tТепл. депр.\tНомера ветвей, в которых происходит опрокидывание "
              "струи\n");
}

inline void MakeFireStabilityText(TCalcContext& c, const TNetworkTables& t, int fires) {
    c.FireStabilityText = t.NameSh + "\n" + t.NameVar + "\n" +
                          Ru("Анализ устойчивости схемы при пожарах\n") + FireHeading();
    for (int k = 0; k < fires; ++k)
        c.FireStabilityText += Ru("11 Уклон вспомогательный\t  12.50\t 900.00\t 8.00\t12.0\t  " +
                                  std::to_string(10 + k) + ".30\t 13,14\n");
    c.StabilityRowCount = 3 + fires;
}

// `extra` result columns after the five fixed ones.
inline void MakeDeviceStabilityText(TCalcContext& c, const TNetworkTables& t, int devices,
                                    int extra) {
    std::string heading = Ru("Наименование ветви с вент. устройством\tСечение выработки, м2\t"
                             "Сопротивление вент. устройств \tНормальный расход воздуха, м3/с\t"
                             "Аварийный расход воздуха, м3/с");
    for (int k = 0; k < extra; ++k) heading += "\t" + std::to_string(5 + k) + Ru("(ОЗ )");
    c.DeviceStabilityText = t.NameSh + "\n" + t.NameVar + "\n" +
                            Ru("Анализ устойчивости схемы при нарушении вентиляционных устройств\n"
                               "Изменение расхода воздуха в ветвях, %\n") +
                            heading + "\n";
    for (int d = 0; d < devices; ++d) {
        std::string line = Ru("8 Штрек вентиляционный западный\t  9,00\t  0,2000\t 12,00\t  13,1");
        for (int k = 0; k < extra; ++k) line += "\t-5/" + std::to_string(k);
        c.DeviceStabilityText += line + "\n";
    }
    c.DeviceStabilityText += Ru("Примечание: В числителе - изменения относительно требуемого "
                                "количества воздуха, в знаменателе - относительно нормального "
                                "расхода");
    c.StabilityRowCount = 5 + devices;
    c.DeviceStabilityColCount = 5 + extra;
}

struct ExportFixture : ::testing::Test {
    std::filesystem::path dir = MakeTestFolder();
    std::string savedDir = ProgramDir();
    TCalcContext c;
    TNetworkTables t{c};
    TNasDlgModel settings;
    TScriptedMessages messages;
    TMemoryClipboardDouble clipboard;
    TRecordingOpener opener;
    TRecordingProgress progress;
    TOfficeExports exports{t, c, settings};

    void SetUp() override {
        SetProgramDir(dir.string());
        BuildSampleMine(t);
        c.CalcOptions[1] = 'S';
        Rasc_ERClick(t, c);
        ASSERT_EQ(0, c.CalcErrorFlag);
        exports.Now = [] {
            std::tm tm{};
            tm.tm_year = 126;
            tm.tm_mon = 11;
            tm.tm_mday = 9;
            tm.tm_hour = 8;
            tm.tm_min = 30;
            return tm;
        };
    }
    void TearDown() override {
        SetProgramDir(savedDir);
        // Kept on request, to look at the documents in an office suite.
        if (std::getenv("ARVALEN_KEEP_TEST_FILES")) return;
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    // Runs one export; the written file, or "" when none was written.
    std::string Run(TOfficeProgram program, TOfficeReport report) {
        const size_t opened = opener.Opened().size();
        exports.Export(program, report);
        EXPECT_FALSE(progress.Shown) << "the progress window stays open";
        if (exports.LastFileName().empty()) return "";
        EXPECT_EQ(opened + 1, opener.Opened().size());
        if (opener.Opened().size() > opened) {
            EXPECT_EQ(exports.LastFileName(), opener.Opened().back());
        }
        return exports.LastFileName();
    }
};

inline std::string U(std::string_view cp1251) {
    return Cp1251ToUtf8(cp1251);
}

} // namespace arv::test
