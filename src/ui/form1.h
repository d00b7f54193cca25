#pragma once

#include "batch/editortext.h"
#include "batch/history.h"
#include "batch/renamebatch.h"
#include "batch/startupvalues.h"
#include "checksum/checksummend.h"
#include "journal/undoplan.h"
#include "recipe/batchsteps.h"
#include "recipe/recipebook.h"
#include "rename/confirmationlisting.h"
#include "rename/precheck.h"
#include "rename/renamerun.h"
#include "rename/renamesession.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QListView;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QStringListModel;

namespace quillet::ui {

class Form2;
class RecentRunsWindow;
class ChecksumVerifyWindow;
class RecipesWindow;
class ListingJob;
class RenameRunner;
class NameEditor;
class UserDialogs;
class ValueBoxes;

// The main window: the rename batch, the name editor with its caret displays, the history
// buttons and the two operation panels. Controls carry their catalogue names as objectName.
class Form1 final : public QWidget {
    Q_OBJECT

public:
    // dataFolder ends with the platform's separator; the data files are looked up in it.
    Form1(const QString& dataFolder, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~Form1() override;

    static const QString& hintText();

    [[nodiscard]] const batch::RenameBatch& batch() const { return m_batch; }
    [[nodiscard]] const batch::StartupValues& startupValues() const { return m_startup; }
    // The names text: lines separated by CR LF.
    [[nodiscard]] QString names() const { return m_editorNames.names().toString(); }

    // Where every rename run keeps its journal; the per-user data folder unless set.
    void setJournalFolder(const QString& folder) { m_journalFolder = folder; }
    [[nodiscard]] const QString& journalFolder() const { return m_journalFolder; }

    // While a rename runs, the batch takes nothing in.
    [[nodiscard]] bool isRenaming() const { return m_renaming; }
    // Whether 確認 still waits for the listing or the check of the last press, or for the
    // relisting of names edited since.
    [[nodiscard]] bool isListing() const;

    // The recipes kept for this user, newest first; a damaged file is reported, by name.
    [[nodiscard]] QList<recipe::Recipe> savedRecipes();
    // Where the recipes are kept; tests set another.
    void setRecipesFile(const QString& path) { m_recipesFile = path; }
    [[nodiscard]] const recipe::BatchSteps& batchSteps() const { return m_steps; }

signals:
    // A run (or an undo) ended and its messages were shown.
    void runFinished();

public slots:
    void takeInFiles(const QStringList& paths);
    // Lists the reversal of the last run in the confirmation window, whose confirm button then
    // takes it back; says so when there is nothing to take back. Ctrl+Alt+Z.
    void undoLastRun();
    // Lists the taking back of one run the journal keeps (its journal's file name): an undo, or
    // a redo when the run was an undo. Neither replaces a batch that 確認 lists.
    void undoRun(const QString& journalName);
    // The window of the recent runs, each of which can be taken back. Ctrl+Alt+H.
    void showRecentRuns();
    // Opens チェックサムの検証 over the batch; brings it forward while it is still checking.
    void verifyNamedChecksums();
    // The steps of the batch saved as a recipe under a name the user gives (手順を保存…).
    void saveRecipe();
    // The recipe's steps run over the whole batch as one step of the history; false, with a
    // message, when there is no such recipe or a step of it no longer applies.
    bool runRecipe(const QString& name);
    // 手順の一覧.
    void showRecipes();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildEasyPanel();
    void buildAdvancedPanel();
    void buildTabOrder();
    void connectControls();
    void runStartup();
    void placeOnDesktop();
    void moveToStartupPosition();
    void placeAgainWithFrame();

    // Every change the program makes to the editor goes through here: one replacement of the
    // whole text, recorded by the history like a keystroke.
    void replaceNames(const batch::ChunkedText& names);
    // A hand edit, a paste or the editor's own undo: only the touched lines are converted.
    void onEditorContentsChange(int position, int removed, int added);
    void onEditorTextChanged();
    void recordNames();
    void updateHistoryButtons();
    void updateSourceViews();

    void ShowCaretPosition();
    void ShowCaretSource();

    void undo();
    void redo();
    void restoreNames();
    void startOver();
    void switchMode(int index);
    void startRename();
    void runRename();
    void finishRun(const rename::RenameSummary& summary);
    // Lists the batch for the confirmation window and checks it; a large batch on a thread.
    void listBatch(bool bringForward);
    // While 確認 lists the batch, or a press is listing it for 確認, a drop relists it at once
    // and an edit of the names once the edits pause for kRelistAfterEditMs.
    void relist();
    void relistAfterEdit();
    [[nodiscard]] bool pressIsListing() const;
    void showConfirmation(std::shared_ptr<const rename::ConfirmationListing> listing,
                          bool bringForward = true);
    void finishUndo();
    // Whether 確認 is open with the batch: an undo then waits for it to close.
    [[nodiscard]] bool confirmingBatch() const;
    void listUndo(const journal::UndoPlan& plan);
    void refreshRecentRuns();
    void mendChecksums(const QList<checksum::ChecksumMend>& mends);
    // Replaces the names as one change of the given kind, for the batch's steps.
    enum class ChangeKind { HandEdit, Steps, Intake, Restore };
    void replaceNamesAs(const batch::ChunkedText& names, ChangeKind kind,
                        const QList<recipe::Step>& steps = {});
    // The recipe items of the name editor's context menu.
    void addRecipeItems(QMenu* menu);
    void deleteRecipe(const QString& name);
    [[nodiscard]] QString recipesFile() const;
    void renameRecipe(const QString& name);
    [[nodiscard]] recipe::ReplayValues replayValues() const;
    bool writeRecipes(const QList<recipe::Recipe>& recipes);
    void runEasyMode();
    void runAdvancedEdit();
    void saveRememberedValues();
    void applyLayout();

    QString m_dataFolder;
    UserDialogs& m_dialogs;
    batch::RenameBatch m_batch;
    batch::History m_history;
    batch::StartupValues m_startup;
    // The names text, kept in step with the editor; names() reads it.
    batch::EditorNames m_editorNames;
    // What the confirmation window lists, the batch or the taking back of a run: its confirm
    // button runs exactly this.
    rename::RunRequest m_confirmed;
    bool m_replacing = false;
    bool m_renaming = false;
    RenameRunner* m_runner = nullptr;
    QString m_journalFolder;
    QPointer<Form2> m_form2;
    QPointer<RecentRunsWindow> m_recentRuns;
    QPointer<ChecksumVerifyWindow> m_verifyWindow;
    // What the batch did, in step with m_history, and what the change being recorded is.
    recipe::BatchSteps m_steps;
    ChangeKind m_changeKind = ChangeKind::HandEdit;
    QList<recipe::Step> m_changeSteps;
    QString m_recipesFile;
    QPointer<RecipesWindow> m_recipesWindow;
    // The listing and check of the last press; a run waits until it is done.
    ListingJob* m_listingJob = nullptr;
    // The listing in progress was asked for by a press and brings 確認 forward when it is told.
    bool m_listingForPress = false;
    static constexpr int kRelistAfterEditMs = 200;
    QTimer m_relistTimer;
    // The start-up placement: the work area's right and bottom edges, where the window's outer
    // top left was put and with which outer size, and whether the frame is still to come.
    int m_workAreaRight = 0;
    int m_workAreaBottom = 0;
    QPoint m_placedAt;
    QSize m_placedOuterSize;
    bool m_placementPending = false;

    NameEditor* m_namesEditor = nullptr;
    QLineEdit* m_sourcePathBox = nullptr;
    QLineEdit* m_caretFromStartBox = nullptr;
    QLineEdit* m_caretFromEndBox = nullptr;
    QListView* m_sourceList = nullptr;
    QListView* m_targetList = nullptr;
    QStringListModel* m_sourceModel = nullptr;
    QStringListModel* m_targetModel = nullptr;
    QPushButton* m_renameButton = nullptr;
    QPushButton* m_startOverButton = nullptr;
    QPushButton* m_backButton = nullptr;
    QPushButton* m_forwardButton = nullptr;
    QPushButton* m_restoreButton = nullptr;
    QPushButton* m_advancedRunButton = nullptr;
    QPushButton* m_easyRunButton = nullptr;
    std::array<QRadioButton*, 2> m_modeButtons{};
    QGroupBox* m_advancedPanel = nullptr;
    QGroupBox* m_easyPanel = nullptr;
    QListWidget* m_advancedOperationList = nullptr;
    QListWidget* m_positionAList = nullptr;
    QListWidget* m_positionBList = nullptr;
    QListWidget* m_easyOperationList = nullptr;
    QLineEdit* m_plusABox = nullptr;
    QLineEdit* m_plusBBox = nullptr;
    // The seven value boxes in their canonical order: Text10, Text11, Text4, Text8, Text5,
    // Text9, Text3.
    std::array<QComboBox*, 7> m_valueBoxes{};
    ValueBoxes* m_values = nullptr;
};

} // namespace quillet::ui
