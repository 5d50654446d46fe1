#include "settings/qt/settings_sheet_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "audio/capture_config.h"
#include "common/message_box.h"
#include "common/question_box.h"
#include "pitch/temperament_table.h"
#include "settings/qt/up_down.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"
#include "tone/gm_programs.h"

namespace merlop {

namespace {

constexpr const char* kValidationCaption = "Merlop";

QStringList itemsOf(const auto& texts) {
    QStringList out;
    for (const auto& t : texts) out << QString::fromStdString(std::string(t));
    return out;
}

// A template's text or a list item in the player's language; the sources are English.
QString sheetText(const char* source) {
    if (*source == '\0') return {};
    return QCoreApplication::translate("SettingsSheet", source);
}

QStringList translatedItems(const auto& sources) {
    QStringList out;
    for (const char* t : sources) out << sheetText(t);
    return out;
}

// As the English entries are laid out: number, blank, the name padded to 15 characters.
QStringList gmItems() {
    QStringList out;
    for (int i = 0; i < kGmProgramCount; ++i) {
        out << QString::number(i + 1) + ' ' +
                   QString::fromStdString(gmProgramName(i)).leftJustified(15);
    }
    return out;
}

// The closed height of a drop list; the template's height is that of the open list.
constexpr int kDropListDlu = 13;

}  // namespace

// ---- SheetPage -------------------------------------------------------------------------------

SheetPage::SheetPage(const QString& caption, int widthDlu, int heightDlu,
                     const std::vector<ControlSpec>& controls, const DialogUnits& u,
                     MessageBox& messages, QWidget* parent)
    : QWidget(parent),
      messages_(messages),
      caption_(caption),
      widthDlu_(widthDlu),
      heightDlu_(heightDlu),
      specs_(controls) {
    QButtonGroup* radios = nullptr;
    for (const ControlSpec& c : controls) {
        QWidget* w = nullptr;
        switch (c.kind) {
            case ControlSpec::label:
                w = new QLabel(sheetText(c.text), this);
                break;
            case ControlSpec::edit:
                w = new QLineEdit(this);
                break;
            case ControlSpec::spin:
                w = new UpDown(this);
                break;
            case ControlSpec::dropList: {
                w = new QComboBox(this);
                break;
            }
            case ControlSpec::check:
                w = new QCheckBox(sheetText(c.text), this);
                break;
            case ControlSpec::radio: {
                auto* r = new QRadioButton(sheetText(c.text), this);
                if (radios == nullptr) radios = new QButtonGroup(this);
                radios->addButton(r, radios->buttons().size());
                w = r;
                break;
            }
            case ControlSpec::slider: {
                auto* s = new QSlider(Qt::Horizontal, this);
                s->setTickPosition(QSlider::TicksBelow);
                w = s;
                break;
            }
            case ControlSpec::button: {
                // Auto-default, as in any dialog: Enter presses the focused button.
                w = new QPushButton(sheetText(c.text), this);
                break;
            }
            case ControlSpec::listBox:
                w = new QListWidget(this);
                break;
        }
        if (c.id != 0) w->setObjectName(QString::number(c.id));
        if (c.hidden) w->hide();
        widgets_.push_back(w);
    }
    layoutControls(u);
}

void SheetPage::layoutControls(const DialogUnits& u) {
    setFixedSize(u.x(widthDlu_), u.y(heightDlu_));
    QRect previous;
    for (std::size_t i = 0; i < specs_.size(); ++i) {
        const ControlSpec& c = specs_[i];
        const int h = c.kind == ControlSpec::dropList ? kDropListDlu : c.h;
        // Edges are converted, not sizes, so that controls meeting in the template still meet.
        QRect r(QPoint(u.x(c.x), u.y(c.y)), QPoint(u.x(c.x + c.w) - 1, u.y(c.y + h) - 1));
        if (c.kind == ControlSpec::spin && i > 0 && specs_[i - 1].kind == ControlSpec::edit) {
            r = QRect(previous.right() + 1, previous.top(), r.width(), previous.height());
        }
        // A check box or radio button lower than its indicator would cut it: grow about the
        // middle.
        if (c.kind == ControlSpec::check || c.kind == ControlSpec::radio) {
            const int need = checkHeightNeeded(widgets_[i]);
            if (r.height() < need) {
                r.moveTop(r.top() - (need - r.height()) / 2);
                r.setHeight(need);
            }
        }
        // A text longer than its template's (another language) runs on to the right first, so
        // that the whole page stretches only where that is not room enough.
        const int textWidth = textWidthNeeded(widgets_[i]);
        if (textWidth > r.width()) {
            r.setRight(std::min(u.x(c.x + roomDlu(i)), r.left() + textWidth) - 1);
        }
        widgets_[i]->setGeometry(r);
        previous = r;
    }
}

int SheetPage::checkHeightNeeded(const QWidget* w) {
    const QStyle::PixelMetric m = qobject_cast<const QRadioButton*>(w) != nullptr
                                      ? QStyle::PM_ExclusiveIndicatorHeight
                                      : QStyle::PM_IndicatorHeight;
    // One pixel either side for the indicator's frame.
    return std::max(QFontMetrics(w->font()).height(), w->style()->pixelMetric(m, nullptr, w)) + 2;
}

int SheetPage::textWidthNeeded(const QWidget* w) {
    QString text;
    if (const auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    return textWidthNeeded(w, text);
}

int SheetPage::textWidthNeeded(const QWidget* w, QString text) {
    while (text.endsWith(' ')) text.chop(1);
    if (text.isEmpty()) return 0;
    const QFontMetrics fm(w->font());
    if (qobject_cast<const QLabel*>(w) != nullptr) return fm.horizontalAdvance(text) + 1;
    if (qobject_cast<const QPushButton*>(w) != nullptr) {
        return fm.horizontalAdvance(text) + 2 * fm.averageCharWidth();
    }
    // Indicator and spacing as the style draws them, around the visible text.
    const auto* b = static_cast<const QAbstractButton*>(w);
    return b->sizeHint().width() - fm.horizontalAdvance(b->text()) + fm.horizontalAdvance(text);
}

int SheetPage::stretchNeeded(const DialogUnits& u) const {
    int stretch = 1000;
    for (std::size_t i = 0; i < specs_.size(); ++i) {
        const ControlSpec& c = specs_[i];
        if (c.hidden) continue;
        // The English text in its template's box sets the stretch in any language, so the
        // English pages are as they always were and no other language lays out tighter.
        const int english = textWidthNeeded(widgets_[i], QString::fromLatin1(c.text));
        stretch = std::max(stretch, u.stretchToFit(english, c.w));
        stretch = std::max(stretch, u.stretchToFit(textWidthNeeded(widgets_[i]), roomDlu(i)));
    }
    return stretch;
}

int SheetPage::roomDlu(std::size_t i) const {
    const ControlSpec& c = specs_[i];
    const bool runsOn = c.kind == ControlSpec::label || c.kind == ControlSpec::check ||
                        c.kind == ControlSpec::radio;
    if (!runsOn) return c.w;
    // A dialog unit apart from the neighbour, two from the page's edge.
    int right = widthDlu_ - 2;
    for (std::size_t j = 0; j < specs_.size(); ++j) {
        const ControlSpec& n = specs_[j];
        const int nh = n.kind == ControlSpec::dropList ? kDropListDlu : n.h;
        const bool sameRow = n.y < c.y + c.h && c.y < n.y + nh;
        if (j != i && !n.hidden && sameRow && n.x > c.x) right = std::min(right, n.x - 1);
    }
    return std::max(c.w, right - c.x);
}

QWidget* SheetPage::control(int id) const {
    return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void SheetPage::activate() {
    if (!opened_) {
        opened_ = true;
        init();
    }
    enter();
}

void SheetPage::writeEdits(const std::vector<IntField>& fields) {
    for (const IntField& f : fields) control<QLineEdit>(f.id)->setText(QString::number(*f.member));
}

bool SheetPage::readEdits(const std::vector<IntField>& fields) {
    const auto error =
        readFields(fields, [this](int id) { return control<QLineEdit>(id)->text().toStdString(); });
    if (!error) return true;
    messages_.show(error->message, kValidationCaption);
    setOffending(control(error->id));
    return false;
}

void SheetPage::setOffending(QWidget* c) {
    offending_ = c;
    focusOffending();
}

void SheetPage::focusOffending() {
    if (offending_ == nullptr) return;
    offending_->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(offending_)) e->selectAll();
}

void SheetPage::setSpin(int id, int buddy, int lo, int hi, int step) {
    auto* s = control<UpDown>(id);
    s->setBuddy(control<QLineEdit>(buddy));
    s->setRange(lo, hi);
    s->setStep(step);
}

namespace {

void setIndex(QComboBox* c, int i) {
    c->setCurrentIndex(i >= 0 && i < c->count() ? i : -1);
}

}  // namespace

void SheetPage::setSteps(const ControlSpec& c, int buddy, IntRange range, int step) {
    if (c.kind == ControlSpec::spin) {
        setSpin(c.id, buddy, range.lo, range.hi, step);
    } else if (c.kind == ControlSpec::slider) {
        auto* s = control<QSlider>(c.id);
        s->setRange(range.lo, range.hi);
        s->setTickInterval(step);
    }
}

void SheetPage::showValue(const ControlSpec& c, int32_t v) {
    if (c.kind == ControlSpec::check) {
        control<QCheckBox>(c.id)->setChecked(v != 0);
    } else if (c.kind == ControlSpec::dropList) {
        setIndex(control<QComboBox>(c.id), v);
    } else if (c.kind == ControlSpec::slider) {
        control<QSlider>(c.id)->setValue(v);
    } else if (c.kind == ControlSpec::radio) {
        if (auto* r = control<QRadioButton>(c.id + v)) r->setChecked(true);
    }
}

int32_t SheetPage::shownValue(const ControlSpec& c) const {
    if (c.kind == ControlSpec::check) return control<QCheckBox>(c.id)->isChecked() ? 1 : 0;
    if (c.kind == ControlSpec::dropList) return control<QComboBox>(c.id)->currentIndex();
    if (c.kind == ControlSpec::slider) return control<QSlider>(c.id)->value();
    if (c.kind == ControlSpec::radio) {
        for (int i = 0; auto* r = control<QRadioButton>(c.id + i); ++i) {
            if (r->isChecked()) return i;
        }
    }
    return 0;
}

namespace {

// A page run by its table: up-downs, sliders and every value but the integer edits' texts
// (which go through the page's checks) come from the rows; a page adds what the table cannot
// say in initMore, enterMore and leaveMore.
template <class Page>
class TablePage : public SheetPage {
  public:
    TablePage(Page& v, const QString& caption, int widthDlu, int heightDlu, const DialogUnits& u,
              MessageBox& m, QWidget* parent)
        : SheetPage(caption, widthDlu, heightDlu, controlsOf(Page::rows()), u, m, parent), v_(v) {}

    bool leave() override {
        if (!readEdits(v_.fields())) return false;
        for (const PageRow<Page>& r : Page::rows()) {
            if (shownByRow(r)) valueOf(v_, r) = shownValue(r.control);
        }
        leaveMore();
        return true;
    }
    // The page's OK rules, where it has any.
    bool ok() override {
        if constexpr (requires { v_.ok(); }) v_.ok();
        return true;
    }

  protected:
    void init() override {
        int previous = 0;
        for (const PageRow<Page>& r : Page::rows()) {
            setSteps(r.control, previous, r.steps, r.step);
            previous = r.control.id;
        }
        initMore();
    }
    void enter() override {
        writeEdits(v_.fields());
        for (const PageRow<Page>& r : Page::rows()) {
            if (shownByRow(r)) showValue(r.control, valueOf(v_, r));
        }
        enterMore();
    }
    virtual void initMore() {}
    virtual void enterMore() {}
    virtual void leaveMore() {}

    Page& v_;

  private:
    // Edits go through the page's checks instead.
    static bool shownByRow(const PageRow<Page>& r) {
        return r.bound() && r.control.kind != ControlSpec::edit;
    }
};

// ---- General ---------------------------------------------------------------------------------

class GeneralSheetPage : public TablePage<GeneralPage> {
  public:
    GeneralSheetPage(GeneralPage& v, const DialogUnits& u, MessageBox& m, QWidget* parent)
        : TablePage(v, QCoreApplication::translate("SettingsSheet", "General"), 228, 191, u, m,
                    parent) {
        auto* key = control<QComboBox>(1004);
        key->addItems(itemsOf(kInstrumentKeys));
        control<QComboBox>(1061)->addItems({QCoreApplication::translate("SettingsSheet", "flat"),
                                            QCoreApplication::translate("SettingsSheet", "sharp")});
        control<QComboBox>(1063)->addItems(itemsOf(kCNoteNames));
        control<QComboBox>(1077)->addItems({"50 Hz", "60 Hz"});
        connect(control<QPushButton>(1041), &QPushButton::clicked, this, [this] {
            v_.defaults();
            if (user_ != nullptr) user_->chosen = -1;
            init();
            enter();
        });
    }

    void setUserTemperaments(UserTemperamentChoice* user) {
        user_ = user;
        init();
        enter();
    }

  protected:
    void initMore() override {
        auto fill = [](QComboBox* c, const std::vector<std::string>& items) {
            c->clear();
            for (const std::string& s : items) c->addItem(QString::fromStdString(s));
        };
        fill(control<QComboBox>(1005), v_.rateItems());
        fill(control<QComboBox>(1006), v_.sizeItems());
        auto* temperaments = control<QComboBox>(1062);
        temperaments->clear();
        for (int i = 0; i < TemperamentTable::kRows; ++i) {
            temperaments->addItem(QString::fromStdString(TemperamentTable::shownName(i)));
        }
        if (user_ == nullptr) return;
        for (const std::string& name : user_->names) {
            temperaments->addItem(QString::fromStdString(name));
        }
    }

    void enterMore() override {
        // merlo301.cfg keeps a built-in row whatever else is in use.
        builtIn_ = v_.temperament;
        if (user_ != nullptr && user_->chosen >= 0 &&
            user_->chosen < static_cast<int>(user_->names.size())) {
            control<QComboBox>(1062)->setCurrentIndex(TemperamentTable::kRows + user_->chosen);
        }
        control<QLineEdit>(1068)->setText(QString::fromStdString(v_.calibration));
        auto* rate = control<QComboBox>(1005);
        rate->setCurrentIndex(rate->findText(QString::fromStdString(v_.sampleRateText)));
        auto* size = control<QComboBox>(1006);
        size->setCurrentIndex(size->findText(QString::fromStdString(v_.sampleSizeText)));
    }

    void leaveMore() override {
        if (user_ != nullptr) {
            const int shown = control<QComboBox>(1062)->currentIndex();
            user_->chosen = shown >= TemperamentTable::kRows ? shown - TemperamentTable::kRows : -1;
            if (user_->chosen >= 0) v_.temperament = builtIn_;
        }
        v_.calibration = control<QLineEdit>(1068)->text().toStdString();
        v_.sampleRateText = control<QComboBox>(1005)->currentText().toStdString();
        v_.sampleSizeText = control<QComboBox>(1006)->currentText().toStdString();
    }

  private:
    UserTemperamentChoice* user_ = nullptr;
    int builtIn_ = 0;
};

// ---- Spectrum --------------------------------------------------------------------------------

class SpectrumSheetPage : public TablePage<SpectrumPage> {
  public:
    SpectrumSheetPage(SpectrumPage& v, const DialogUnits& u, MessageBox& m, QWidget* parent)
        : TablePage(v, QCoreApplication::translate("SettingsSheet", "Spectrum"), 197, 124, u, m,
                    parent) {
        control<QComboBox>(1054)->addItems({"0", "1", "2", "3"});
        control<QComboBox>(1053)->addItems(
            {QCoreApplication::translate("SettingsSheet", "None"), "A", "B", "C"});
    }
};

// ---- Reference tone --------------------------------------------------------------------------

class ToneSheetPage : public TablePage<TonePage> {
  public:
    ToneSheetPage(TonePage& v, const DialogUnits& u, MessageBox& m, QWidget* parent)
        : TablePage(v, QCoreApplication::translate("SettingsSheet", "Reference Tone"), 177, 146, u,
                    m, parent) {}

  protected:
    void initMore() override { control<QComboBox>(1017)->addItems(gmItems()); }
};

// ---- Ear -------------------------------------------------------------------------------------

class EarSheetPage : public TablePage<EarPage> {
  public:
    EarSheetPage(EarPage& v, const DialogUnits& u, MessageBox& m, QWidget* parent)
        : TablePage(v, QCoreApplication::translate("SettingsSheet", "Ear "), 207, 157, u, m,
                    parent) {
        control<QComboBox>(1055)->addItems(itemsOf(kCNoteNames));
        control<QComboBox>(1058)->addItems(itemsOf(kCNoteNames));
        control<QComboBox>(1042)->addItems(translatedItems(kEarScales));
        QStringList keys = itemsOf(kCNoteNames);
        keys << QCoreApplication::translate("SettingsSheet", "Random");
        control<QComboBox>(1043)->addItems(keys);
    }
};

// ---- Custom ----------------------------------------------------------------------------------

const std::vector<ControlSpec> kCustomControls = {
    {0, ControlSpec::label, QT_TRANSLATE_NOOP("SettingsSheet", "T U N I N G S"), 71, 3, 54, 8},
    {1014, ControlSpec::dropList, "", 5, 15, 75, 58},
    {1015, ControlSpec::edit, "", 99, 14, 67, 14},
    {0, ControlSpec::label, QT_TRANSLATE_NOOP("SettingsSheet", "Name"), 169, 18, 36, 8},
    {1023, ControlSpec::button, QT_TRANSLATE_NOOP("SettingsSheet", "New tuning"), 20, 35, 50, 14},
    {1016, ControlSpec::dropList, "", 100, 35, 66, 54},
    {0, ControlSpec::label, QT_TRANSLATE_NOOP("SettingsSheet", "Instrument"), 169, 37, 39, 8},
    {1028, ControlSpec::button, QT_TRANSLATE_NOOP("SettingsSheet", "Delete tuning"), 20, 55, 50,
     14},
    {1029, ControlSpec::check, QT_TRANSLATE_NOOP("SettingsSheet", "Auto reference tone"), 100, 55,
     78, 10},
    {1042, ControlSpec::check, QT_TRANSLATE_NOOP("SettingsSheet", "Record readings"), 100, 65, 90,
     10},
    {0, ControlSpec::label, QT_TRANSLATE_NOOP("SettingsSheet", "N O T E S"), 75, 76, 49, 8},
    {1032, ControlSpec::listBox, "", 7, 90, 73, 53},
    {1018, ControlSpec::dropList, "", 100, 90, 25, 66},
    {0, ControlSpec::label, QT_TRANSLATE_NOOP("SettingsSheet", "Note"), 127, 93, 16, 8},
    {1021, ControlSpec::edit, "", 145, 90, 21, 14},
    {1022, ControlSpec::spin, "", 165, 90, 9, 14},
    {0, ControlSpec::label, QT_TRANSLATE_NOOP("SettingsSheet", "Octave"), 175, 95, 24, 8},
    {1017, ControlSpec::edit, "", 100, 110, 65, 14},
    {0, ControlSpec::label, QT_TRANSLATE_NOOP("SettingsSheet", "Description"), 167, 114, 36, 8},
    {1024, ControlSpec::edit, "", 100, 130, 40, 14},
    {0, ControlSpec::label, QT_TRANSLATE_NOOP("SettingsSheet", "Frequency (Hz)"), 145, 132, 54, 8},
    {1030, ControlSpec::button, QT_TRANSLATE_NOOP("SettingsSheet", "Save"), 20, 150, 50, 14},
    {1026, ControlSpec::button, QT_TRANSLATE_NOOP("SettingsSheet", "Insert note"), 100, 150, 50,
     14},
    {1027, ControlSpec::button, QT_TRANSLATE_NOOP("SettingsSheet", "Delete note"), 155, 150, 50,
     14},
};

class CustomSheetPage : public SheetPage, public CustomPageControls {
  public:
    CustomSheetPage(TuningStore* store, int32_t recordReadings, QuestionBox& q,
                    const DialogUnits& u, MessageBox& m, QWidget* parent)
        : SheetPage(QCoreApplication::translate("SettingsSheet", "Custom "), 213, 170,
                    kCustomControls, u, m, parent) {
        control<QLineEdit>(1015)->setMaxLength(kTuningTextChars);
        control<QLineEdit>(1017)->setMaxLength(kTuningTextChars);
        control<QLineEdit>(1024)->setMaxLength(kFrequencyChars);
        QStringList notes = itemsOf(kCNoteNames);
        notes << "  ";
        control<QComboBox>(1018)->addItems(notes);
        if (store == nullptr) {
            setEnabled(false);
            return;
        }
        editor_ = std::make_unique<CustomTuningPage>(*store, *this, q, m, recordReadings);
        auto click = [this](int id, void (CustomTuningPage::*action)()) {
            connect(control<QPushButton>(id), &QPushButton::clicked, this,
                    [this, action] { (editor_.get()->*action)(); });
        };
        click(1023, &CustomTuningPage::newTuning);
        click(1028, &CustomTuningPage::deleteTuning);
        click(1030, &CustomTuningPage::save);
        click(1026, &CustomTuningPage::insertNote);
        click(1027, &CustomTuningPage::deleteNote);
        connect(control<QComboBox>(1014), &QComboBox::activated, this,
                [this] { editor_->selectTuning(); });
        connect(control<QListWidget>(1032), &QListWidget::currentRowChanged, this, [this] {
            if (!writing_) editor_->selectNote();
        });
        connect(control<QComboBox>(1018), &QComboBox::activated, this, [this] {
            if (!writing_) editor_->noteChosen();
        });
        connect(control<QLineEdit>(1021), &QLineEdit::textEdited, this, [this] {
            if (!writing_) editor_->octaveChanged();
        });
        connect(control<UpDown>(1022), &UpDown::stepped, this, [this] {
            if (!writing_) editor_->octaveChanged();
        });
    }

    CustomTuningPage* editor() const { return editor_.get(); }

    bool leave() override { return editor_ == nullptr || editor_->leave(); }
    bool ok() override { return editor_ == nullptr || editor_->ok(); }

    // CustomPageControls
    CustomFields read() const override {
        CustomFields f;
        f.name = control<QLineEdit>(1015)->text().toStdString();
        f.instrument = control<QComboBox>(1016)->currentIndex();
        f.autoReferenceTone = control<QCheckBox>(1029)->isChecked();
        f.recordReadings = control<QCheckBox>(1042)->isChecked();
        f.description = control<QLineEdit>(1017)->text().toStdString();
        f.noteIndex = control<QComboBox>(1018)->currentIndex();
        f.octave = control<QLineEdit>(1021)->text().toStdString();
        f.frequency = control<QLineEdit>(1024)->text().toStdString();
        return f;
    }
    void write(const CustomFields& f) override {
        const Writing w(writing_);
        control<QLineEdit>(1015)->setText(QString::fromStdString(f.name));
        setIndex(control<QComboBox>(1016), f.instrument);
        control<QCheckBox>(1029)->setChecked(f.autoReferenceTone != 0);
        control<QCheckBox>(1042)->setChecked(f.recordReadings != 0);
        control<QLineEdit>(1017)->setText(QString::fromStdString(f.description));
        setIndex(control<QComboBox>(1018), f.noteIndex);
        control<QLineEdit>(1021)->setText(QString::fromStdString(f.octave));
        control<QLineEdit>(1024)->setText(QString::fromStdString(f.frequency));
    }
    void setTuningList(const std::vector<std::string>& names, int selected) override {
        const Writing w(writing_);
        auto* c = control<QComboBox>(1014);
        c->clear();
        for (const std::string& n : names) c->addItem(QString::fromStdString(n));
        setIndex(c, selected);
    }
    int tuningSelection() const override { return control<QComboBox>(1014)->currentIndex(); }
    void setNoteList(const std::vector<std::string>& lines, int selected) override {
        const Writing w(writing_);
        auto* l = control<QListWidget>(1032);
        l->clear();
        for (const std::string& s : lines) l->addItem(QString::fromStdString(s));
        l->setCurrentRow(selected >= 0 && selected < l->count() ? selected : -1);
    }
    int noteSelection() const override { return control<QListWidget>(1032)->currentRow(); }
    void focus(int id) override { setOffending(control(id)); }

  protected:
    void init() override {
        control<QComboBox>(1016)->addItems(gmItems());
        setSpin(1022, 1021, 1, 8, 1);
        if (editor_) editor_->init();
    }
    // The controls keep what they held when the page was left.
    void enter() override {}

  private:
    struct Writing {
        explicit Writing(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
        ~Writing() { flag_ = old_; }
        bool& flag_;
        bool old_;
    };
    std::unique_ptr<CustomTuningPage> editor_;
    bool writing_ = false;
};

}  // namespace

// ---- SettingsSheet ---------------------------------------------------------------------------

void SettingsSheet::setUserTemperaments(UserTemperamentChoice* user) {
    static_cast<GeneralSheetPage*>(pages_[0])->setUserTemperaments(user);
}

SettingsSheet::SettingsSheet(QWidget* parent, Settings& settings, TuningStore* tunings,
                             const std::array<int, 3>& sampleRates,
                             const std::array<int, 2>& sampleSizes, QuestionBox& questions,
                             MessageBox& messages, const QFont* font)
    : QDialog(parent), settings_(settings), tunings_(tunings), messages_(messages) {
    setWindowTitle(QCoreApplication::translate("SettingsSheet", "Settings"));
    setModal(true);
    if (font != nullptr) setFont(*font);
    const QFontMetrics fm(this->font());
    units_ = DialogUnits::fromFont(
        fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), fm.height());

    model_.load(settings, sampleRates, sampleSizes, tunings);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tabs");
    pages_[0] = new GeneralSheetPage(model_.general, units_, messages, tabs_);
    pages_[1] = new SpectrumSheetPage(model_.spectrum, units_, messages, tabs_);
    pages_[2] = new ToneSheetPage(model_.tone, units_, messages, tabs_);
    pages_[3] = new EarSheetPage(model_.ear, units_, messages, tabs_);
    pages_[4] =
        new CustomSheetPage(tunings, model_.recordReadings, questions, units_, messages, tabs_);
    // Fonts whose texts run wider than their average character stretch the pages a little.
    for (SheetPage* p : pages_) units_.stretch = std::max(units_.stretch, p->stretchNeeded(units_));
    for (SheetPage* p : pages_) {
        p->layoutControls(units_);
        tabs_->addTab(p, p->caption());
    }

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons_, &QDialogButtonBox::accepted, this, &SettingsSheet::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &SettingsSheet::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    pages_[0]->activate();
    connect(tabs_, &QTabWidget::currentChanged, this, &SettingsSheet::pageChanged);

    // As in any dialog, typing starts in the first field, not on the tabs.
    for (QWidget* w = pages_[0]->nextInFocusChain(); w != pages_[0]; w = w->nextInFocusChain()) {
        if (pages_[0]->isAncestorOf(w) && !w->isHidden() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}

SettingsSheet::~SettingsSheet() = default;

void SettingsSheet::pageChanged(int index) {
    if (reverting_) return;
    if (!pages_[current_]->leave()) {
        // The page stays, with the offending control focused by leave().
        reverting_ = true;
        tabs_->setCurrentIndex(current_);
        reverting_ = false;
        pages_[current_]->focusOffending();
        return;
    }
    current_ = index;
    pages_[current_]->activate();
}

void SettingsSheet::accept() {
    if (!pages_[current_]->leave()) return;
    for (SheetPage* p : pages_) {
        if (p->opened() && !p->ok()) return;
    }
    if (pages_[4]->opened() && tunings_ != nullptr) {
        model_.recordReadings =
            static_cast<CustomSheetPage*>(pages_[4])->editor()->recordReadings();
    }
    model_.writeBack(settings_, tunings_);
    QDialog::accept();
}

bool runSettingsSheet(QWidget* parent, Settings& settings, TuningStore* tunings,
                      const CaptureCandidates& candidates, QuestionBox& questions,
                      MessageBox& messages, UserTemperamentChoice* user) {
    const std::array<int, 3> rates = {static_cast<int>(candidates.rates[0]),
                                      static_cast<int>(candidates.rates[1]),
                                      static_cast<int>(candidates.rates[2])};
    const std::array<int, 2> sizes = {static_cast<int>(candidates.bits[0]),
                                      static_cast<int>(candidates.bits[1])};
    SettingsSheet sheet(parent, settings, tunings, rates, sizes, questions, messages);
    // A copy, so that Cancel leaves the choice as it was.
    UserTemperamentChoice choice = user != nullptr ? *user : UserTemperamentChoice{};
    if (user != nullptr) sheet.setUserTemperaments(&choice);
    const bool accepted = sheet.exec() == QDialog::Accepted;
    if (accepted && user != nullptr) *user = choice;
    return accepted;
}

}  // namespace merlop
