#pragma once

#include <QDialog>
#include <QFont>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "settings/custom_tuning_page.h"
#include "settings/settings_sheet.h"
#include "settings/user_temperaments.h"

class QTabWidget;
class QDialogButtonBox;

namespace merlop {

class Settings;
class TuningStore;
class QuestionBox;
class MessageBox;
struct CaptureCandidates;

// A page of the sheet: its controls built from the template, named by their ids.
class SheetPage : public QWidget {
    Q_OBJECT
  public:
    SheetPage(const QString& caption, int widthDlu, int heightDlu,
              const std::vector<ControlSpec>& controls, const DialogUnits& units,
              MessageBox& messages, QWidget* parent = nullptr);

    const QString& caption() const { return caption_; }
    // Places the controls; a spin control sits on the right edge of the edit before it.
    void layoutControls(const DialogUnits& units);
    // The least horizontal stretch at which every text of the page fits its control.
    int stretchNeeded(const DialogUnits& units) const;
    // Width in dialog units control i may take: a label, check box or radio button whose text
    // outgrows its template (a longer language) may run on into the free space to its right, up
    // to the next control of its row or the page's edge; any other control has its template's.
    int roomDlu(std::size_t i) const;
    // Width a label, check box, radio button or push button needs to show its text whole
    // (trailing blanks are not seen); 0 for other controls.
    static int textWidthNeeded(const QWidget* control);
    // The same for `text` shown in that control.
    static int textWidthNeeded(const QWidget* control, QString text);
    // Height a check box or radio button needs to show its indicator whole.
    static int checkHeightNeeded(const QWidget* control);
    QWidget* control(int id) const;
    template <class T>
    T* control(int id) const {
        return qobject_cast<T*>(control(id));
    }

    // The page becomes active: the first time it is initialised; its values go to the controls.
    void activate();
    // The page is left: the controls' values go back, checked; false keeps the page.
    virtual bool leave() = 0;
    // The sheet's OK, for a page that was opened, after leave() succeeded.
    virtual bool ok() { return true; }
    bool opened() const { return opened_; }
    // Gives the focus back to the control the last failed check named.
    void focusOffending();

  protected:
    virtual void init() = 0;
    virtual void enter() = 0;
    void writeEdits(const std::vector<IntField>& fields);
    bool readEdits(const std::vector<IntField>& fields);
    void setSpin(int id, int buddy, int lo, int hi, int step);
    // A page row's up-down or slider range; nothing for other rows.
    // The up-down after buddy, or a slider, given its range and step.
    void setSteps(const ControlSpec& c, int buddy, IntRange range, int step);
    // A value other than an edit's in and out of its control.
    void showValue(const ControlSpec& c, int32_t value);
    int32_t shownValue(const ControlSpec& c) const;
    void setOffending(QWidget* control);
    MessageBox& messages_;

  private:
    QString caption_;
    bool opened_ = false;
    int widthDlu_, heightDlu_;
    std::vector<ControlSpec> specs_;
    std::vector<QWidget*> widgets_;
    QWidget* offending_ = nullptr;
};

// The modal "Settings" sheet with its five pages. OK writes the pages' values into the settings
// (the Custom page saves tunings itself as the user goes); Cancel writes nothing.
class SettingsSheet : public QDialog {
    Q_OBJECT
  public:
    // tunings may be null: the Custom page is then shown disabled. font, when given, is the
    // dialog font the pages are laid out with; otherwise the inherited one.
    SettingsSheet(QWidget* parent, Settings& settings, TuningStore* tunings,
                  const std::array<int, 3>& sampleRates, const std::array<int, 2>& sampleSizes,
                  QuestionBox& questions, MessageBox& messages, const QFont* font = nullptr);
    ~SettingsSheet() override;

    QTabWidget* tabs() const { return tabs_; }
    SheetPage* page(int index) const { return pages_[index]; }
    QDialogButtonBox* buttons() const { return buttons_; }
    const SettingsSheetModel& model() const { return model_; }
    const DialogUnits& units() const { return units_; }

    void accept() override;
    // The General page lists these after the 75 temperaments and keeps the one chosen in
    // `user`, which must outlive the sheet.
    void setUserTemperaments(UserTemperamentChoice* user);

  private:
    void pageChanged(int index);

    Settings& settings_;
    TuningStore* tunings_;
    MessageBox& messages_;
    SettingsSheetModel model_;
    DialogUnits units_;
    QTabWidget* tabs_;
    QDialogButtonBox* buttons_;
    std::array<SheetPage*, kSheetPages> pages_{};
    int current_ = 0;
    bool reverting_ = false;
};

// Runs the sheet modally over parent. True when it ended with OK (the settings then hold the new
// values). The caller re-applies the mode in either case.
// user, when given, lists the user temperaments and takes the one chosen (only on OK).
bool runSettingsSheet(QWidget* parent, Settings& settings, TuningStore* tunings,
                      const CaptureCandidates& candidates, QuestionBox& questions,
                      MessageBox& messages, UserTemperamentChoice* user = nullptr);

}  // namespace merlop
