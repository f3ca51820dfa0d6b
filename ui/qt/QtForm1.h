// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window as Qt draws it: the controls with their design names and texts, each event forwarded
// to its handler in the window logic (Form1), and the logic's view calls shown on the controls. Nothing else.
#pragma once

#include "ui/look/WindowPointer.h"
#include "ui/main/Form1View.h"
#include "ui/qt/QtTimer.h"

#include <QWidget>

#include <utility>

class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLayout;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace quillmere {
class Form1;
}

namespace quillmere::qt {

class QtForm1 final : public QWidget, public Form1View {
    Q_OBJECT
public:
    explicit QtForm1(QWidget* parent = nullptr);
    ~QtForm1() override;

    // While it lives, the window forwards its controls' events and its timers' ticks to the logic's handlers.
    // It must go before the logic does: a widget torn down later may still raise an event.
    class Attachment {
    public:
        explicit Attachment(QtForm1& window) : window_(&window) {}
        Attachment(Attachment&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
        Attachment(const Attachment&) = delete;
        Attachment& operator=(const Attachment&) = delete;
        Attachment& operator=(Attachment&&) = delete;
        ~Attachment() {
            if (window_ != nullptr) {
                window_->logic_ = nullptr;
            }
        }

    private:
        QtForm1* window_;
    };
    [[nodiscard]] Attachment Attach(Form1& logic);

    // The countdown's tick and the pause after a manual pass, for the logic to start and stop.
    QtTimer& Timer1() { return timer1_; }
    QtTimer& ManualHold() { return manualHold_; }

    // Controls, by their design names.
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QCheckBox* Check11;
    QCheckBox* Check12;
    QPushButton* PushButton3;
    QPushButton* PushButton1;
    QTreeWidget* ListView1;
    QTreeWidget* ListView2;
    QTreeWidget* ListView3;
    QPushButton* PushButton13;
    QPushButton* PushButton12;
    QGroupBox* Frame2;
    QProgressBar* ProgressBar1;
    QPushButton* PushButton14; // the note of what the last pass could not do
    QLabel* Label1;            // why changes on a folder are found by the timed pass only
    QGroupBox* Frame3;
    QCheckBox* Check9;
    QCheckBox* Check10;
    // The list of what the last pass could not do, in a window of its own.
    QDialog* FailureList;
    QPlainTextEdit* FailureLines;

    // Form1View.
    void SetCaption(const std::string& caption) override;
    void SetProgramIcon() override;
    void SetApplicationTitle(const std::string& title) override;
    void ApplySkin(const std::string& programFolder) override;
    void LoadHandCursor(const std::string& programFolder) override;
    void SetMousePointer(MousePointer pointer) override;
    void Show() override;
    void ShowMinimized() override;
    void Hide() override;
    void Restore() override;
    void EndProgram() override;
    void SetColumnHeader(FormList list, const std::string& text) override;
    void AddEntry(FormList list, const std::string& text) override;
    void RemoveEntry(FormList list, int index) override;
    void SelectEntry(FormList list, int index) override;
    void SetAutoSyncCaption(const std::string& caption) override;
    void SetStatus(const std::string& text) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressValue(int value) override;
    void SetProgressText(const std::string& text) override;
    void SetFailureNote(const std::string& text) override;
    void ShowFailureList(const std::string& title, const std::vector<std::string>& lines) override;
    void SetWatchNote(const std::string& text) override;
    void SetChecked(FormCheckBox box, bool checked) override;
    void SetVisible(FormCheckBox box, bool visible) override;

signals:
    // The window has closed: the program ends.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildOptions(QWidget* content);
    QLayout* BuildFolderLists(QWidget* content);
    QTreeWidget* BuildIntervals(QWidget* content);
    QLayout* BuildAutoSync(QWidget* content);
    void BuildStatus(QWidget* content);
    QWidget* BuildScrolledContent();
    QSize FittingSize() const;
    void BuildFailureList();
    int ListColumnWidth() const;
    void ConnectControls();
    void WatchPointer();
    // Runs handler on the attached logic, if any.
    template <class Handler> void Forward(Handler&& handler) {
        if (logic_ != nullptr) {
            handler(*logic_);
        }
    }
    QTreeWidget* List(FormList list) const;
    QCheckBox* Box(FormCheckBox box) const;

    Form1* logic_ = nullptr;
    QWidget* content_ = nullptr; // what the window holds, scrolled when the window is smaller than it
    bool sized_ = false;         // the window had its first size
    QtTimer timer1_;
    QtTimer manualHold_;
    look::WindowPointer pointer_{*this};
};

} // namespace quillmere::qt
