// The settings sheet driven as a user drives it, offscreen: typing, choosing, sliding, switching
// pages, OK / Cancel / Defaults; then the settings record and the tunings file are checked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <deque>
#include <string>
#include <vector>

#include "common/message_box.h"
#include "common/question_box.h"
#include "pitch/temperament_table.h"
#include "settings/qt/settings_sheet_dialog.h"
#include "settings/qt/up_down.h"
#include "settings/settings.h"
#include "settings/test_files.h"
#include "settings/tuning_store.h"

namespace merlop {
namespace {

using testing::TempDir;

// Input as the user makes it: key and mouse events through the application.
void keyClick(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

void keyClicks(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        const int key = c.isDigit() ? Qt::Key_0 + c.digitValue()
                        : c == '-'  ? Qt::Key_Minus
                        : c == '.'  ? Qt::Key_Period
                                    : Qt::Key_A + (c.toUpper().unicode() - 'A');
        keyClick(w, key, QString(c));
    }
}

void mouseClick(QWidget* w, QPoint at = {-1, -1}) {
    if (at.x() < 0) at = w->rect().center();
    const QPointF local(at);
    const QPointF global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

const std::array<int, 3> kRates = {11025, 22050, 44100};
const std::array<int, 2> kSizes = {8, 16};

struct ScriptedQuestions : QuestionBox {
    std::deque<bool> answers;
    std::vector<std::string> asked;
    bool ask(const std::string& text, const std::string& caption, Buttons b) override {
        asked.push_back(text + "|" + caption + (b == Buttons::yesNo ? "|yn" : "|oc"));
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct RecordedMessages : MessageBox {
    std::vector<std::string> shown;
    void show(const std::string& text, const std::string& caption) override {
        shown.push_back(text + "|" + caption);
    }
};

class SheetTest : public ::testing::Test {
  protected:
    void open(TuningStore* store = nullptr, const QFont* font = nullptr) {
        sheet_ = std::make_unique<SettingsSheet>(nullptr, settings_, store, kRates, kSizes,
                                                 questions_, messages_, font);
        sheet_->show();
    }
    template <class T>
    T* at(int page, int id) {
        T* w = sheet_->page(page)->control<T>(id);
        EXPECT_NE(w, nullptr) << "control " << id << " on page " << page;
        return w;
    }
    void goTo(int page) { sheet_->tabs()->setCurrentIndex(page); }
    void type(int page, int id, const QString& text) {
        QLineEdit* e = at<QLineEdit>(page, id);
        e->setFocus();
        e->selectAll();
        keyClicks(e, text);
    }
    void choose(int page, int id, int index) {
        QComboBox* c = at<QComboBox>(page, id);
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
    void choose(int page, int id, const QString& text) {
        QComboBox* c = at<QComboBox>(page, id);
        const int i = c->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        choose(page, id, i);
    }
    void click(int page, int id) { mouseClick(at<QPushButton>(page, id)); }
    void pressOk() { mouseClick(sheet_->buttons()->button(QDialogButtonBox::Ok)); }
    void pressCancel() { mouseClick(sheet_->buttons()->button(QDialogButtonBox::Cancel)); }
    bool closedWithOk() const {
        return sheet_->isHidden() && sheet_->result() == QDialog::Accepted;
    }

    Settings settings_;
    ScriptedQuestions questions_;
    RecordedMessages messages_;
    std::unique_ptr<SettingsSheet> sheet_;
};

// ---- layout and screenshots ------------------------------------------------------------------

void saveShot(const QImage& img, const std::string& name) {
    QDir().mkpath(MERLOP_SCREENSHOT_DIR);
    ASSERT_TRUE(img.save(QString(MERLOP_SCREENSHOT_DIR "/") + QString::fromStdString(name)));
}

QImage render(QWidget& w, qreal ratio) {
    QImage img(w.size() * ratio, QImage::Format_ARGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::white);
    w.render(&img);
    return img;
}

// Every visible control keeps its text whole and clear of its neighbours.
void expectTidy(SheetPage& page, const std::string& what) {
    std::vector<QWidget*> shown;
    for (QWidget* w : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!w->isHidden()) shown.push_back(w);
    }
    for (QWidget* w : shown) {
        const QRect r = w->geometry();
        EXPECT_TRUE(page.rect().contains(r)) << what << ": " << w->objectName().toStdString();
        EXPECT_GE(r.width(), SheetPage::textWidthNeeded(w))
            << what << ": " << w->objectName().toStdString() << " clipped";
        if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) ||
            qobject_cast<QRadioButton*>(w)) {
            EXPECT_GE(r.height(), qobject_cast<QLabel*>(w) ? QFontMetrics(w->font()).height()
                                                           : SheetPage::checkHeightNeeded(w))
                << what << ": " << w->objectName().toStdString() << " cut at the bottom";
        }
    }
    for (std::size_t a = 0; a < shown.size(); ++a) {
        for (std::size_t b = a + 1; b < shown.size(); ++b) {
            const QRect i = shown[a]->geometry() & shown[b]->geometry();
            EXPECT_TRUE(i.isEmpty())
                << what << ": " << shown[a]->objectName().toStdString() << " \""
                << (qobject_cast<QLabel*>(shown[a]) ? qobject_cast<QLabel*>(shown[a])->text()
                                                    : QString())
                       .toStdString()
                << "\" overlaps " << shown[b]->objectName().toStdString() << " \""
                << (qobject_cast<QLabel*>(shown[b]) ? qobject_cast<QLabel*>(shown[b])->text()
                                                    : QString())
                       .toStdString()
                << "\"";
        }
    }
}

TEST_F(SheetTest, PagesInOrderLaidOutTidyAtTwoFontSizesAndTwoPixelRatios) {
    TempDir dir;
    TuningStore store(dir.path());
    for (const int points : {8, 11}) {
        QFont font("DejaVu Sans");
        font.setPointSize(points);
        open(&store, &font);
        QTabWidget* tabs = sheet_->tabs();
        ASSERT_EQ(tabs->count(), 5);
        EXPECT_EQ(sheet_->windowTitle(), "Settings");
        const QStringList captions = {"General", "Spectrum", "Reference Tone", "Ear ", "Custom "};
        const char* names[] = {"general", "spectrum", "tone", "ear", "custom"};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(tabs->tabText(i), captions[i]);
            goTo(i);
            ASSERT_EQ(tabs->currentIndex(), i);
            QApplication::processEvents();
            const std::string what = std::string(names[i]) + " at " + std::to_string(points);
            expectTidy(*sheet_->page(i), what);
            for (const int ratio : {1, 2}) {
                saveShot(render(*sheet_, ratio), "settings_" + std::string(names[i]) + "_" +
                                                     std::to_string(points) + "pt_" +
                                                     std::to_string(ratio) + "x.png");
            }
        }
        // The General page of 228 x 191 dialog units in the font's own units.
        const DialogUnits& u = sheet_->units();
        EXPECT_EQ(sheet_->page(0)->size(), QSize(u.x(228), u.y(191)));
        sheet_.reset();
    }
}

// ---- General, Spectrum, Reference Tone, Ear --------------------------------------------------

TEST_F(SheetTest, GeneralPageEditsReachTheSettingsOnOk) {
    open();
    type(0, 1008, "1000");
    type(0, 1010, "500");
    type(0, 1068, "-1.25");
    choose(0, 1004, "Bb");
    choose(0, 1063, "D");
    mouseClick(at<QCheckBox>(0, 1064));  // untick "Use A "
    type(0, 1070, "3");
    type(0, 1074, "1");
    choose(0, 1077, "50 Hz");
    choose(0, 1062, 3);
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(settings_.freqLowHz, 1000);
    EXPECT_EQ(settings_.freqHighHz, 1100);
    EXPECT_EQ(settings_.calibrationTenths, -12);
    EXPECT_EQ(settings_.instrumentKey, -2);
    EXPECT_EQ(settings_.temperamentKey, 2);
    EXPECT_EQ(settings_.temperamentRefNote, 2);
    EXPECT_EQ(settings_.pianoFirstOctave, 3);
    EXPECT_EQ(settings_.pianoOctaveCount, 1);
    EXPECT_EQ(settings_.humFrequency, 50);
    EXPECT_EQ(settings_.temperamentIndex, 3);
}

TEST_F(SheetTest, InvalidEntryKeepsThePageAndFocusesTheControl) {
    open();
    type(0, 1000, "399");
    goTo(1);
    EXPECT_EQ(sheet_->tabs()->currentIndex(), 0);
    ASSERT_EQ(messages_.shown,
              (std::vector<std::string>{"Please enter an integer between 400 and 500.|Merlop"}));
    EXPECT_EQ(sheet_->focusWidget(), at<QLineEdit>(0, 1000));
    // OK is refused the same way, and nothing is written.
    type(0, 1008, "5000");
    type(0, 1000, "450");
    pressOk();
    EXPECT_FALSE(sheet_->isHidden());
    EXPECT_EQ(messages_.shown.back(), "Please enter an integer between 20 and 4000.|Merlop");
    EXPECT_EQ(sheet_->focusWidget(), at<QLineEdit>(0, 1008));
    // A piano range past the last octave is refused rather than drawn.
    type(0, 1008, "20");
    type(0, 1074, "10");
    pressOk();
    EXPECT_FALSE(sheet_->isHidden());
    EXPECT_EQ(messages_.shown.back(), "Please enter an integer between 0 and 9.|Merlop");
    EXPECT_EQ(settings_.toImage(), Settings{}.toImage());
    type(0, 1074, "9");
    goTo(3);
    EXPECT_EQ(sheet_->tabs()->currentIndex(), 3);
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(settings_.frequencyOfA, 450);
    EXPECT_EQ(settings_.pianoOctaveCount, 8);
}

TEST_F(SheetTest, TextThatIsNoNumberAsksForAnInteger) {
    open();
    type(0, 1000, "abc");
    goTo(1);
    EXPECT_EQ(sheet_->tabs()->currentIndex(), 0);
    ASSERT_FALSE(messages_.shown.empty());
    EXPECT_EQ(messages_.shown.back(), "Please enter an integer.|Merlop");
    EXPECT_EQ(sheet_->focusWidget(), at<QLineEdit>(0, 1000));
    type(0, 1000, "440");
    // An emptied edit holds no integer either.
    QLineEdit* to = at<QLineEdit>(0, 1074);
    to->setFocus();
    to->selectAll();
    keyClick(to, Qt::Key_Backspace);
    ASSERT_TRUE(to->text().isEmpty());
    pressOk();
    EXPECT_FALSE(sheet_->isHidden());
    EXPECT_EQ(messages_.shown.back(), "Please enter an integer.|Merlop");
    EXPECT_EQ(sheet_->focusWidget(), to);
    EXPECT_EQ(settings_.toImage(), Settings{}.toImage());
}

TEST_F(SheetTest, APianoStoredPastTheLastOctaveOpensAndSavesBack) {
    // The loader keeps a count of 10 from octave 5; the page shows the keys there are.
    settings_.pianoFirstOctave = 5;
    settings_.pianoOctaveCount = 10;
    open();
    EXPECT_EQ(at<QLineEdit>(0, 1074)->text(), "9");
    UpDown* spin = at<UpDown>(0, 1075);
    mouseClick(spin->findChildren<QToolButton*>()[0]);
    EXPECT_EQ(at<QLineEdit>(0, 1074)->text(), "9");
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(settings_.pianoFirstOctave, 5);
    EXPECT_EQ(settings_.pianoOctaveCount, 5);
}

TEST_F(SheetTest, CalibrationsAreStoredAsTyped) {
    open();
    type(0, 1068, "2000.5");
    goTo(2);
    type(2, 1043, "-99");
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(settings_.calibrationTenths, 20005);
    EXPECT_EQ(settings_.midiCalibrationCents, -99);
}

TEST_F(SheetTest, CancelWritesNothingAndKeysWork) {
    open();
    type(0, 1000, "470");
    goTo(1);
    type(1, 1021, "-10");
    pressCancel();
    EXPECT_TRUE(sheet_->isHidden());
    EXPECT_EQ(sheet_->result(), QDialog::Rejected);
    EXPECT_EQ(settings_.toImage(), Settings{}.toImage());

    open();
    keyClick(at<QLineEdit>(0, 1000), Qt::Key_Escape);
    EXPECT_TRUE(sheet_->isHidden());
    EXPECT_EQ(sheet_->result(), QDialog::Rejected);

    open();
    // Typing starts in the first field; Up and Down in an edit step its spin; Enter is OK.
    QLineEdit* a = at<QLineEdit>(0, 1000);
    EXPECT_EQ(sheet_->focusWidget(), a);
    keyClick(a, Qt::Key_Up);
    keyClick(a, Qt::Key_Up);
    keyClick(a, Qt::Key_Down);
    EXPECT_EQ(a->text(), "441");
    keyClick(a, Qt::Key_Return);
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(settings_.frequencyOfA, 441);

    open();
    // Enter on a focused page button presses that button, not OK.
    type(0, 1000, "450");
    QPushButton* defaults = at<QPushButton>(0, 1041);
    defaults->setFocus();
    keyClick(defaults, Qt::Key_Return);
    EXPECT_FALSE(sheet_->isHidden());
    EXPECT_EQ(at<QLineEdit>(0, 1000)->text(), "440");
    keyClick(at<QLineEdit>(0, 1000), Qt::Key_Enter);
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(settings_.frequencyOfA, 440);
}

TEST_F(SheetTest, TabGoesThroughThePageInReadingOrder) {
    open();
    QStringList order;
    QWidget* w = at<QLineEdit>(0, 1000);
    do {
        if (sheet_->page(0)->isAncestorOf(w) && w->isVisibleTo(sheet_->page(0)) &&
            (w->focusPolicy() & Qt::TabFocus)) {
            order << w->objectName();
        }
        w = w->nextInFocusChain();
    } while (w != at<QLineEdit>(0, 1000));
    EXPECT_EQ(order.join(' ').toStdString(),
              "1000 1068 1004 1061 1062 1063 1064 1008 1010 1039 1076 1077 1066 1070 1074 1065 "
              "1041");
}

TEST_F(SheetTest, SpinStepsAndRangesAsTheTemplatesGive) {
    open();
    struct Spin {
        int page, id, buddy, lo, hi, step;
    };
    const Spin spins[] = {
        {0, 1001, 1000, 400, 500, 1},     {0, 1009, 1008, 20, 4000, 10},
        {0, 1011, 1010, 100, 20000, 100}, {0, 1071, 1070, 0, 9, 1},
        {0, 1075, 1074, 0, 9, 1},         {0, 1020, 1019, 50, 300, 10},
        {1, 1022, 1021, -42, 30, 1},      {1, 1046, 1045, -42, 30, 1},
        {1, 1048, 1047, 0, 100, 10},      {1, 1050, 1049, 0, 100, 10},
        {1, 1052, 1051, 1, 20, 1},        {2, 1044, 1043, -30, 30, 1},
        {2, 1034, 1033, 0, 16, 1},        {2, 1029, 1028, 1, 8, 1},
        {2, 1031, 1030, 0, 200, 10},      {3, 1057, 1056, 1, 8, 1},
        {3, 1060, 1059, 1, 8, 1},         {3, 1036, 1035, 1, 12, 1},
        {3, 1040, 1039, 1, 24, 1},        {3, 1045, 1044, 30, 200, 10},
    };
    for (const Spin& s : spins) {
        goTo(s.page);
        ASSERT_EQ(sheet_->tabs()->currentIndex(), s.page);
        auto* spin = at<UpDown>(s.page, s.id);
        ASSERT_NE(spin, nullptr);
        EXPECT_EQ(spin->buddy(), at<QLineEdit>(s.page, s.buddy)) << s.id;
        EXPECT_EQ(spin->minimum(), s.lo) << s.id;
        EXPECT_EQ(spin->maximum(), s.hi) << s.id;
        EXPECT_EQ(spin->step(), s.step) << s.id;
    }
    goTo(0);
    // The arrows step by the spin's increment and stop at its range.
    auto* from = at<UpDown>(0, 1009);
    const QList<QToolButton*> arrows = from->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    mouseClick(arrows[0]);
    EXPECT_EQ(at<QLineEdit>(0, 1008)->text(), "30");
    mouseClick(arrows[1]);
    mouseClick(arrows[1]);
    EXPECT_EQ(at<QLineEdit>(0, 1008)->text(), "20");
    // A value typed outside the spin's range is kept until the next step.
    goTo(1);
    type(1, 1021, "-45");
    goTo(0);
    EXPECT_EQ(sheet_->tabs()->currentIndex(), 0);
    goTo(1);
    EXPECT_EQ(at<QLineEdit>(1, 1021)->text(), "-45");
    at<UpDown>(1, 1022)->stepBy(1);
    EXPECT_EQ(at<QLineEdit>(1, 1021)->text(), "-42");
}

TEST_F(SheetTest, SliderSensitivityCarriesDbFrom) {
    open();
    QSlider* s = at<QSlider>(0, 1039);
    EXPECT_EQ(s->minimum(), -42);
    EXPECT_EQ(s->maximum(), -6);
    EXPECT_EQ(s->tickInterval(), 10);
    EXPECT_EQ(s->value(), -36);
    for (int k = 0; k < 16; ++k) keyClick(s, Qt::Key_Right);
    EXPECT_EQ(s->value(), -20);
    goTo(1);
    type(1, 1021, "-40");
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(settings_.sensitivityDb, -20);
    EXPECT_EQ(settings_.spectrumDbLow, -20);

    // Unchanged sensitivity: dB from is held at it.
    settings_ = Settings{};
    open();
    goTo(1);
    type(1, 1021, "10");
    goTo(2);
    EXPECT_EQ(sheet_->tabs()->currentIndex(), 1);
    EXPECT_EQ(messages_.shown.back(), "Please enter an integer between -50 and 0.|Merlop");
    type(1, 1021, "-45");
    type(1, 1045, "x");
    pressOk();
    EXPECT_EQ(messages_.shown.back(), "Please enter an integer.|Merlop");
    type(1, 1045, "25");
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(settings_.spectrumDbLow, -36);
    EXPECT_EQ(settings_.spectrumDbHigh, 25);
}

TEST_F(SheetTest, DefaultsButtonResetsTheGeneralPageButNotTheDevice) {
    settings_.frequencyOfA = 415 + 50;
    settings_.sampleRate = 22050;
    settings_.bitsPerSample = 16;
    settings_.sensitivityDb = -10;
    settings_.showPiano = 0;
    settings_.humFilter = 1;
    open();
    type(0, 1068, "3.5");
    click(0, 1041);
    EXPECT_EQ(at<QLineEdit>(0, 1000)->text(), "440");
    EXPECT_EQ(at<QLineEdit>(0, 1068)->text(), "0.0");
    EXPECT_EQ(at<QLineEdit>(0, 1010)->text(), "1200");
    EXPECT_EQ(at<QLineEdit>(0, 1074)->text(), "5");
    EXPECT_EQ(at<QSlider>(0, 1039)->value(), -36);
    EXPECT_TRUE(at<QCheckBox>(0, 1066)->isChecked());
    EXPECT_FALSE(at<QCheckBox>(0, 1076)->isChecked());
    EXPECT_EQ(at<QComboBox>(0, 1077)->currentText(), "60 Hz");
    EXPECT_EQ(at<QComboBox>(0, 1005)->currentText(), "22050");
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(settings_.frequencyOfA, 440);
    EXPECT_EQ(settings_.sampleRate, 22050);
    EXPECT_EQ(settings_.bitsPerSample, 16);
    EXPECT_EQ(settings_.sensitivityDb, -36);
    EXPECT_EQ(settings_.spectrumDbLow, -36);
    EXPECT_EQ(settings_.pianoOctaveCount, 4);
}

TEST_F(SheetTest, HiddenControlsExistAndPassTheirValuesThrough) {
    settings_.weighting = 2;
    settings_.hammingWindow = 0;
    settings_.analysisWindowMs = 120;
    settings_.bitsPerSample = 16;
    open();
    for (const auto& [page, id] :
         {std::pair{0, 1019}, {0, 1020}, {0, 1005}, {0, 1006}, {1, 1053}, {1, 1025}}) {
        QWidget* w = sheet_->page(page)->control(id);
        ASSERT_NE(w, nullptr) << id;
        EXPECT_TRUE(w->isHidden()) << id;
    }
    auto* rates = at<QComboBox>(0, 1005);
    ASSERT_EQ(rates->count(), 3);
    EXPECT_EQ(rates->itemText(2), "44100");
    EXPECT_EQ(at<QComboBox>(0, 1006)->currentText(), "16");
    EXPECT_EQ(at<QLineEdit>(0, 1019)->text(), "120");
    goTo(1);
    EXPECT_EQ(at<QComboBox>(1, 1053)->currentText(), "B");
    EXPECT_EQ(at<QComboBox>(1, 1054)->count(), 4);
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(settings_.weighting, 2);
    EXPECT_EQ(settings_.hammingWindow, 0);
    EXPECT_EQ(settings_.analysisWindowMs, 120);
    EXPECT_EQ(settings_.bitsPerSample, 16);
}

TEST_F(SheetTest, ReferenceToneAndEarPages) {
    open();
    goTo(2);
    mouseClick(at<QRadioButton>(2, 1016));
    EXPECT_TRUE(at<QRadioButton>(2, 1016)->isChecked());
    type(2, 1028, "9");
    QComboBox* patch = at<QComboBox>(2, 1017);
    ASSERT_EQ(patch->count(), 128);
    EXPECT_NE(patch->itemText(40).indexOf("Violin"), -1);
    choose(2, 1017, 40);
    QSlider* volume = at<QSlider>(2, 1018);
    EXPECT_EQ(volume->maximum(), 127);
    EXPECT_EQ(volume->tickInterval(), 8);
    keyClick(volume, Qt::Key_End);
    type(2, 1033, "17");
    goTo(3);
    EXPECT_EQ(sheet_->tabs()->currentIndex(), 2);
    EXPECT_EQ(messages_.shown.back(), "Please enter an integer between 0 and 16.|Merlop");
    type(2, 1033, "16");
    goTo(3);
    ASSERT_EQ(sheet_->tabs()->currentIndex(), 3);
    EXPECT_EQ(at<QComboBox>(3, 1043)->currentText(), "Random");
    EXPECT_EQ(at<QComboBox>(3, 1055)->currentText(), "E");
    EXPECT_EQ(at<QLineEdit>(3, 1056)->text(), "2");
    EXPECT_EQ(at<QLineEdit>(3, 1059)->text(), "5");
    choose(3, 1055, "G");
    type(3, 1056, "4");
    choose(3, 1058, "C");
    type(3, 1059, "4");
    type(3, 1039, "30");
    choose(3, 1042, "Blues");
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(settings_.toneUseMidi, 0);
    EXPECT_EQ(settings_.toneOctave, 9);
    EXPECT_EQ(settings_.midiPatch, 40);
    EXPECT_EQ(settings_.toneVolume, 127);
    EXPECT_EQ(settings_.midiChannel, 16);
    EXPECT_EQ(settings_.earRangeLow, 67);
    EXPECT_EQ(settings_.earRangeHigh, 67);
    EXPECT_EQ(settings_.earMaxInterval, 30);
    EXPECT_EQ(settings_.earScale, 5);
}

// ---- Custom ----------------------------------------------------------------------------------

class CustomPageTest : public SheetTest {
  protected:
    void openCustom() {
        open(&store_);
        goTo(4);
        ASSERT_EQ(sheet_->tabs()->currentIndex(), 4);
    }
    QString text(int id) { return at<QLineEdit>(4, id)->text(); }
    QListWidget* notes() { return at<QListWidget>(4, 1032); }
    std::vector<std::string> namesInFile() {
        TuningStore again(dir_.path());
        return again.names();
    }
    TempDir dir_;
    TuningStore store_{dir_.path()};
};

TEST_F(CustomPageTest, ShowsTheCurrentTuningAndItsNotes) {
    openCustom();
    EXPECT_EQ(at<QComboBox>(4, 1014)->count(), 3);
    EXPECT_EQ(text(1015), "Guitar ");
    ASSERT_EQ(notes()->count(), 6);
    EXPECT_EQ(notes()->currentRow(), 0);
    EXPECT_EQ(text(1017), "E  6th string");
    EXPECT_EQ(at<QComboBox>(4, 1018)->currentText(), "E");
    EXPECT_EQ(text(1021), "2");
    EXPECT_EQ(text(1024), " 82.407");
    EXPECT_EQ(at<QComboBox>(4, 1016)->count(), 128);
    // Showing a note is not an edit: B 3 keeps its description and exact frequency.
    notes()->setCurrentRow(4);
    EXPECT_EQ(at<QComboBox>(4, 1018)->currentText(), "B");
    EXPECT_EQ(text(1021), "3");
    EXPECT_EQ(text(1017), "B  2nd string");
    EXPECT_EQ(text(1024), "246.942");
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_TRUE(questions_.asked.empty());
}

TEST_F(CustomPageTest, ChoosingANoteFillsShortDescriptionsAndTheFrequency) {
    openCustom();
    type(4, 1017, "Db");
    choose(4, 1018, "A");
    type(4, 1021, "4");
    EXPECT_EQ(text(1017), "A");
    EXPECT_EQ(text(1024), "  440.0");
    type(4, 1017, "Low string");
    choose(4, 1018, "C");
    EXPECT_EQ(text(1017), "Low string");
    EXPECT_EQ(text(1024), "  261.6");
    mouseClick(at<UpDown>(4, 1022)->findChildren<QToolButton*>()[1]);
    EXPECT_EQ(text(1021), "3");
    EXPECT_EQ(text(1024), "  130.8");
    // Saving asks on OK and the file holds the note.
    questions_.answers = {true};
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(questions_.asked, (std::vector<std::string>{"Save changes to Guitar  ?| |oc"}));
    TuningStore again(dir_.path());
    EXPECT_EQ(again.description(0), "Low string");
    EXPECT_EQ(again.note(0), 48);
    EXPECT_FLOAT_EQ(again.frequency(0), 130.8f);
}

TEST_F(CustomPageTest, OctaveOutsideItsRangeKeepsThePage) {
    openCustom();
    type(4, 1021, "9");
    EXPECT_EQ(text(1024), " 82.407");  // no note filled in from a refused octave
    goTo(0);
    EXPECT_EQ(sheet_->tabs()->currentIndex(), 4);
    EXPECT_EQ(messages_.shown.back(), "Please enter an integer between 1 and 8.|Merlop");
    EXPECT_EQ(sheet_->focusWidget(), at<QLineEdit>(4, 1021));
    pressOk();
    EXPECT_FALSE(sheet_->isHidden());
    type(4, 1021, "3");
    goTo(0);
    EXPECT_EQ(sheet_->tabs()->currentIndex(), 0);
}

TEST_F(CustomPageTest, WesternNamesSaveOnceAndOthersAreRefused) {
    openCustom();
    type(4, 1015, "R");
    keyClick(at<QLineEdit>(4, 1015), Qt::Key_Eacute, QString::fromUtf8("\xC3\xA9"));
    ASSERT_EQ(text(1015), QString::fromUtf8("R\xC3\xA9"));
    questions_.answers = {true};
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(questions_.asked, (std::vector<std::string>{"Save changes to R\xC3\xA9 ?| |oc"}));
    const auto bytes = testing::readBytes(dir_ / TuningStore::kFileName);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), std::string("R\xE9\0", 3));
    // Opened again, the name shows as typed and OK has nothing to ask.
    questions_.asked.clear();
    openCustom();
    EXPECT_EQ(text(1015), QString::fromUtf8("R\xC3\xA9"));
    EXPECT_EQ(at<QComboBox>(4, 1014)->itemText(0), QString::fromUtf8("R\xC3\xA9"));
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_TRUE(questions_.asked.empty());

    openCustom();
    keyClick(at<QLineEdit>(4, 1015), Qt::Key_unknown, QString::fromUtf8("\xC4\x81"));  // a macron
    pressOk();
    EXPECT_FALSE(sheet_->isHidden());
    ASSERT_FALSE(messages_.shown.empty());
    EXPECT_EQ(messages_.shown.back(),
              "The name can only hold letters of Western European languages: \"\xC4\x81\" has no "
              "place in it.|Merlop");
    EXPECT_EQ(sheet_->focusWidget(), at<QLineEdit>(4, 1015));
    EXPECT_TRUE(questions_.asked.empty());
}

TEST_F(CustomPageTest, TinyFrequencyChangesAreNotEdits) {
    store_.readTuning(1);  // Violin; its A string is 440.0
    openCustom();
    notes()->setCurrentRow(2);
    type(4, 1024, "440.005");
    click(4, 1030);  // Save
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_TRUE(questions_.asked.empty());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(CustomPageTest, NewTuningFromNothingIsAppended) {
    openCustom();
    questions_.answers = {false};  // not based on Guitar
    click(4, 1023);
    EXPECT_EQ(questions_.asked, (std::vector<std::string>{"Base new tuning on Guitar  ?| |yn"}));
    EXPECT_EQ(at<QComboBox>(4, 1014)->count(), 0);
    EXPECT_EQ(notes()->count(), 0);
    EXPECT_EQ(text(1015), "");
    EXPECT_EQ(text(1017), "A");
    EXPECT_EQ(at<QComboBox>(4, 1018)->currentText(), "A");
    EXPECT_EQ(text(1021), "4");
    EXPECT_EQ(text(1024), "440.0");
    EXPECT_EQ(sheet_->focusWidget(), at<QLineEdit>(4, 1015));
    // A second New tuning, selecting or deleting a tuning do nothing now.
    click(4, 1023);
    click(4, 1028);
    EXPECT_EQ(questions_.asked.size(), 1u);
    type(4, 1015, "Lute");
    click(4, 1026);  // Insert note: a copy of the fields
    ASSERT_EQ(notes()->count(), 1);
    EXPECT_EQ(notes()->item(0)->text(), "A");
    click(4, 1030);  // Save, without a question
    EXPECT_EQ(questions_.asked.size(), 1u);
    EXPECT_EQ(namesInFile(), (std::vector<std::string>{"Guitar ", "Violin", "Bagpipe", "Lute"}));
    EXPECT_EQ(at<QComboBox>(4, 1014)->count(), 4);
    EXPECT_EQ(at<QComboBox>(4, 1014)->currentIndex(), 3);
}

TEST_F(CustomPageTest, NotesInsertedAfterTheSelectionAndDeleted) {
    store_.readTuning(1);
    openCustom();
    notes()->setCurrentRow(1);
    type(4, 1017, "Extra");
    click(4, 1026);
    ASSERT_EQ(notes()->count(), 5);
    EXPECT_EQ(notes()->item(2)->text(), "Extra");
    EXPECT_EQ(notes()->currentRow(), 2);
    // The old note kept its description: the new one got the edit.
    EXPECT_EQ(notes()->item(1)->text(), "D string");
    for (int k = 0; k < 5; ++k) {
        notes()->setCurrentRow(notes()->count() - 1);
        click(4, 1027);
    }
    EXPECT_EQ(notes()->count(), 0);
    EXPECT_EQ(text(1017), "A");
    EXPECT_EQ(text(1024), "440.0");
    EXPECT_EQ(store_.noteCount(), 0);
    // Filling up: the 97th note is refused.
    for (int k = 0; k < 96; ++k) click(4, 1026);
    EXPECT_EQ(store_.noteCount(), 96);
    EXPECT_TRUE(messages_.shown.empty());
    click(4, 1026);
    EXPECT_EQ(messages_.shown, (std::vector<std::string>{"Cannot insert more notes| "}));
    EXPECT_EQ(store_.noteCount(), 96);
}

TEST_F(CustomPageTest, SelectAndDeleteTuningsAskFirst) {
    openCustom();
    type(4, 1017, "Changed");
    questions_.answers = {false};  // don't save Guitar
    choose(4, 1014, 1);
    EXPECT_EQ(questions_.asked.back(), "Save changes to Guitar  ?| |oc");
    EXPECT_EQ(text(1015), "Violin");
    EXPECT_EQ(notes()->count(), 4);
    questions_.answers = {true};
    click(4, 1028);
    EXPECT_EQ(questions_.asked.back(), "Delete Violin ?| |oc");
    EXPECT_EQ(namesInFile(), (std::vector<std::string>{"Guitar ", "Bagpipe"}));
    EXPECT_EQ(text(1015), "Guitar ");
    // Guitar was re-read from the file: the declined change is gone, nothing left to save.
    EXPECT_EQ(text(1017), "E  6th string");
    const std::size_t asked = questions_.asked.size();
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(questions_.asked.size(), asked);
}

TEST(CustomPageFailedSave, EditsStayOfferedAfterSavetngFailed) {
    TempDir dir;
    std::filesystem::create_directory(dir / TuningStore::kFileName);  // no file can be had
    TuningStore store(dir.path());
    ASSERT_FALSE(store.hasFile());
    Settings settings;
    ScriptedQuestions questions;
    RecordedMessages messages;
    SettingsSheet sheet(nullptr, settings, &store, kRates, kSizes, questions, messages);
    sheet.show();
    sheet.tabs()->setCurrentIndex(4);
    SheetPage* page = sheet.page(4);
    page->control<QLineEdit>(1017)->setText("Mine");
    page->control<QPushButton>(1030)->click();
    EXPECT_EQ(messages.shown, (std::vector<std::string>{"savetng failed|"}));
    // Still modified: choosing another tuning asks again, fails again, and stays put.
    questions.answers = {true};
    QComboBox* tunings = page->control<QComboBox>(1014);
    tunings->setCurrentIndex(1);
    emit tunings->activated(1);
    EXPECT_EQ(questions.asked, (std::vector<std::string>{"Save changes to Guitar  ?| |oc"}));
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(tunings->currentIndex(), 0);
    EXPECT_EQ(page->control<QListWidget>(1032)->item(0)->text(), "Mine");
    // And the sheet's OK offers them once more.
    questions.answers = {false};
    sheet.accept();
    EXPECT_EQ(questions.asked.size(), 2u);
    EXPECT_EQ(store.description(0), "Mine");
}

TEST_F(CustomPageTest, RecordReadingsCheckGoesToTheCurrentTuningOnOk) {
    openCustom();
    EXPECT_FALSE(at<QCheckBox>(4, 1042)->isChecked());
    mouseClick(at<QCheckBox>(4, 1042));
    questions_.answers = {false};
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(store_.recordReadings(), 1);
    // Without a store the page is there but cannot be used.
    open(nullptr);
    EXPECT_FALSE(sheet_->page(4)->isEnabled());
    pressOk();
    EXPECT_TRUE(closedWithOk());
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

// The user's Scala temperaments follow the 75 rows on the General page; choosing one leaves
// merlo301.cfg's index on a built-in row, as the file's readers expect.
TEST_F(SheetTest, UserTemperamentsFollowTheBuiltInOnesAndLeaveTheIndexBuiltIn) {
    settings_.temperamentIndex = 7;
    open();
    UserTemperamentChoice user{{"Pythagorean on C", "Werckmeister mine"}, 1};
    sheet_->setUserTemperaments(&user);
    QComboBox* list = at<QComboBox>(0, 1062);
    ASSERT_EQ(list->count(), TemperamentTable::kRows + 2);
    EXPECT_EQ(list->itemText(TemperamentTable::kRows), "Pythagorean on C");
    EXPECT_EQ(list->currentIndex(), TemperamentTable::kRows + 1);

    choose(0, 1062, TemperamentTable::kRows);
    pressOk();
    ASSERT_TRUE(closedWithOk());
    EXPECT_EQ(user.chosen, 0);
    EXPECT_EQ(settings_.temperamentIndex, 7);

    // A built-in row chosen: no user temperament, and the index is that row.
    open();
    sheet_->setUserTemperaments(&user);
    choose(0, 1062, 3);
    pressOk();
    EXPECT_EQ(user.chosen, -1);
    EXPECT_EQ(settings_.temperamentIndex, 3);
}

}  // namespace
}  // namespace merlop
