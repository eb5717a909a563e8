#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "engine/ui/process_form.h"

namespace sw {
namespace {

QString Repeat(int count) {
    QString name;
    for (int i = 1; i <= count; ++i) {
        name += QChar(u'a' + i % 26);
    }
    return name;
}

TEST(TProcessForm, StartsWithItsOwnTextsAsAnOnTopToolWindow) {
    TProcessForm form;
    EXPECT_EQ(form.windowTitle(), "Processing...");
    EXPECT_EQ(form.ActionMemo->text(), "Waiting for action...");
    EXPECT_EQ(form.ProgressLbl->text(), "Hold on...");
    EXPECT_EQ(form.AbortBtn->text(), "Abort");
    EXPECT_EQ(form.ProgressBar->minimum(), 0);
    EXPECT_EQ(form.ProgressBar->maximum(), 100);
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
}

// The count line changes only on values divisible by 5; the caption on every call.
TEST(TProcessForm, ProgressUpdateWritesTheCountLineOnlyOnMultiplesOfFive) {
    TProcessForm form;
    TProcessForm::ResetEstimate();
    form.SetRange(0, 99);
    form.SetCaptionFormat("Exporting... (ETA: %s)");
    form.SetLabelFormat("%d of %d frames exported");
    form.ProgressUpdate(0);
    EXPECT_EQ(form.windowTitle(), "Exporting... (ETA: Unknown)");
    EXPECT_EQ(form.ProgressLbl->text(), "0 of 100 frames exported");
    form.ProgressUpdate(55);
    EXPECT_EQ(form.ProgressLbl->text(), "55 of 100 frames exported");
    EXPECT_EQ(form.ProgressBar->value(), 55);
    form.setWindowTitle("stale");
    form.ProgressUpdate(56);
    EXPECT_EQ(form.ProgressLbl->text(), "55 of 100 frames exported");
    EXPECT_TRUE(form.windowTitle().startsWith("Exporting... (ETA: "));
    EXPECT_EQ(form.ProgressBar->value(), 56);
}

TEST(TProcessForm, ValuesOutsideTheRangeStayAtItsEnds) {
    TProcessForm form;
    form.SetRange(10, 20);
    form.SetLabelFormat("%d of %d");
    form.ProgressUpdate(30);
    EXPECT_EQ(form.ProgressBar->value(), 20);
    EXPECT_EQ(form.ProgressLbl->text(), "10 of 11");
    form.ProgressUpdate(5);
    EXPECT_EQ(form.ProgressBar->value(), 10);
    EXPECT_EQ(form.ProgressLbl->text(), "0 of 11");
}

// A one-frame export makes minimum and maximum equal; the fraction used to divide by zero.
TEST(TProcessForm, SingleValueRangeDoesNotDivideByZero) {
    TProcessForm form;
    TProcessForm::ResetEstimate();
    form.SetRange(0, 0);
    form.SetCaptionFormat("Exporting... (ETA: %s)");
    form.SetLabelFormat("%d of %d frames exported");
    form.ProgressUpdate(0);
    EXPECT_EQ(form.ProgressLbl->text(), "0 of 1 frames exported");
    EXPECT_EQ(form.windowTitle(), "Exporting... (ETA: Unknown)");
    form.ProgressUpdate(1);
    EXPECT_NE(form.windowTitle(), "Exporting... (ETA: nan)");
    EXPECT_GE(form.ProgressBar->value(), form.ProgressBar->minimum());
    EXPECT_LE(form.ProgressBar->value(), form.ProgressBar->maximum());
}

TEST(TProcessForm, EstimateTimeLeftExamples) {
    const double minute = 1.0 / 1440;
    EXPECT_EQ(TProcessForm::EstimateTimeLeft(0.25, minute), "00:03:00");
    EXPECT_EQ(TProcessForm::EstimateTimeLeft(1.0, minute), "Done");
    EXPECT_EQ(TProcessForm::EstimateTimeLeft(0.0, minute), "Unknown");
    EXPECT_EQ(TProcessForm::EstimateTimeLeft(0.5, 0.0), "Unknown");
    EXPECT_EQ(TProcessForm::EstimateTimeLeft(0.5, 90 * minute), "01:30:00");
    // A day or more wraps around like a time of day.
    EXPECT_EQ(TProcessForm::EstimateTimeLeft(0.5, 25 * 60 * minute), "01:00:00");
}

TEST(TProcessForm, ShortenFileNameKeepsTheLastMaximumPlusFourCharacters) {
    const QString hundred = Repeat(100);
    const QString shortened = TProcessForm::ShortenFileName(hundred, 75);
    EXPECT_EQ(shortened.size(), 82);
    EXPECT_EQ(shortened, "..." + hundred.mid(21));
    EXPECT_EQ(TProcessForm::ShortenFileName(Repeat(75), 75), Repeat(75));
    EXPECT_EQ(TProcessForm::ShortenFileName(Repeat(76), 75), "..." + Repeat(76));
}

TEST(TProcessForm, ActionTextBreaksTheLineOfItsFormat) {
    TProcessForm form;
    form.SetAction("Scanning:\r\n%s", "/music/a.mp3");
    EXPECT_EQ(form.ActionMemo->text(), "Scanning:\n/music/a.mp3");
}

}  // namespace
}  // namespace sw
