// The control catalogue of the main window: names, kinds, captions, tooltips, initial states
// and rectangles in twips.
#include "ui/controls.h"
#include "ui/focusring.h"
#include "ui/form1.h"
#include "ui/japanesefont.h"
#include "ui/nameeditor.h"
#include "ui/operationitems.h"
#include "ui/twips.h"
#include "ui/userdialogs.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>

namespace quillet::ui {

void Form1::buildControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kProgramTitle.toString());
    resize(pixels(12855), pixels(10395));

    m_easyPanel = makeFrame(this, u"Frame5", QString(), {720, 6000, 11535, 2775});
    m_modeButtons[1] =
        makeOption(this, u"Option1", QStringLiteral("アドバンスドモード"),
                   QStringLiteral("より詳しく設定出来るモードです"), {2040, 120, 1695, 345});
    m_modeButtons[0] = makeOption(this, u"Option1", QStringLiteral("イージーモード"),
                                  QStringLiteral("簡単設定モードです"), {240, 120, 1695, 345});
    for (int i = 0; i < 2; ++i)
        m_modeButtons[i]->setProperty("index", i);
    m_modeButtons[0]->setChecked(true);

    m_caretFromEndBox = makeDisplayBox(this, u"Text7", {11400, 3480, 615, 270});
    m_caretFromStartBox = makeDisplayBox(this, u"Text6", {9120, 3480, 615, 270});
    m_restoreButton =
        makeButton(this, u"Command5", QStringLiteral("元に戻す"),
                   QStringLiteral("ファイルの追加直後に戻します"), {2640, 3360, 975, 375});
    m_targetList = makeHiddenList(this, u"List2", {480, 7560, 10455, 1680});
    m_forwardButton = makeButton(this, u"Command4", QStringLiteral("→"), QStringLiteral("進む"),
                                 {1440, 3360, 975, 375});
    m_backButton = makeButton(this, u"Command3", QStringLiteral("←"), QStringLiteral("戻る"),
                              {240, 3360, 975, 375});
    m_startOverButton =
        makeButton(this, u"Command2", QStringLiteral("やり直す"),
                   QStringLiteral("ファイル追加前に戻します"), {11880, 1680, 855, 735});
    m_renameButton = makeButton(
        this, u"Command1", QStringLiteral("リネーム開始"),
        QStringLiteral("テキスト通りにファイルのリネームを開始します(確認画面があります)"),
        {11880, 720, 855, 735});
    m_sourceList = makeHiddenList(this, u"List1", {480, 4560, 10455, 2760});
    m_sourcePathBox = makeDisplayBox(this, u"Text2", {1800, 3840, 10935, 270});
    m_advancedPanel = makeFrame(this, u"Frame1", QString(), {240, 600, 11535, 2775});
    m_advancedPanel->hide();

    m_namesEditor = new NameEditor(this);
    m_namesEditor->setObjectName(QStringLiteral("Text1"));
    m_namesEditor->setGeometry(twipsRect(120, 4200, 12615, 6135));
    m_namesEditor->setFont(japaneseFont(14.25));
    m_namesEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_namesEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_namesEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab leaves the editor like any other control; a file name never holds a TAB.
    m_namesEditor->setTabChangesFocus(true);

    QLabel* label8 =
        makeLabel(this, u"Label8", QStringLiteral("後ろから"), {10680, 3495, 660, 180});
    QLabel* label7 = makeLabel(this, u"Label7", QStringLiteral("文字目"), {9840, 3495, 540, 180});
    QLabel* label6 = makeLabel(this, u"Label6", QStringLiteral("文字目"), {12120, 3495, 540, 180});
    QLabel* label5 = makeLabel(this, u"Label5", QStringLiteral("前から"), {8520, 3495, 510, 180});
    QLabel* label1 =
        makeLabel(this, u"Label1", QStringLiteral("リネーム元のファイル"), {120, 3885, 1635, 180});

    // The caret row reads "前から [Text6] 文字目 後ろから [Text7] 文字目": each box is named by
    // the labels on both of its sides.
    labelFor(label1, m_sourcePathBox);
    label5->setBuddy(m_caretFromStartBox);
    label7->setBuddy(m_caretFromStartBox);
    label8->setBuddy(m_caretFromEndBox);
    label6->setBuddy(m_caretFromEndBox);
    m_caretFromStartBox->setAccessibleName(label5->text() + u' ' + label7->text());
    m_caretFromEndBox->setAccessibleName(label8->text() + u' ' + label6->text());
    // The displays are read-only, and Tab stops at them like at any box, so a keyboard user can
    // read and select the source path and the caret counts.
    m_namesEditor->setAccessibleName(QStringLiteral("リネーム後のファイル名"));
    m_sourceList->setAccessibleName(label1->text());
    m_targetList->setAccessibleName(QStringLiteral("リネーム後のファイル"));
    m_easyPanel->setAccessibleName(m_modeButtons[0]->text());
    m_advancedPanel->setAccessibleName(m_modeButtons[1]->text());

    m_renameButton->setEnabled(false);
    m_backButton->setEnabled(false);
    m_forwardButton->setEnabled(false);

    m_sourceModel = new QStringListModel(this);
    m_targetModel = new QStringListModel(this);
    m_sourceList->setModel(m_sourceModel);
    m_targetList->setModel(m_targetModel);

    buildEasyPanel();
    buildAdvancedPanel();
    buildTabOrder();
    new FocusRing(this);
}

// From the top left to the bottom right: the mode, each panel's operation list, value boxes
// and button, the history buttons, the caret displays beside them, the source display, the
// editor, then the column of buttons at the right edge.
// Hidden and disabled controls are passed by, so one chain serves both panels.
void Form1::buildTabOrder()
{
    const std::initializer_list<QWidget*> order = {
        m_modeButtons[0],    m_modeButtons[1],  m_easyOperationList,     m_valueBoxes[0],
        m_valueBoxes[1],     m_easyRunButton,   m_positionAList,         m_valueBoxes[2],
        m_valueBoxes[3],     m_plusABox,        m_positionBList,         m_valueBoxes[4],
        m_valueBoxes[5],     m_plusBBox,        m_advancedOperationList, m_valueBoxes[6],
        m_advancedRunButton, m_backButton,      m_forwardButton,         m_restoreButton,
        m_caretFromStartBox, m_caretFromEndBox, m_sourcePathBox,         m_namesEditor,
        m_renameButton,      m_startOverButton};
    const QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (previous)
            setTabOrder(const_cast<QWidget*>(previous), widget);
        previous = widget;
    }
}

void Form1::buildEasyPanel()
{
    QWidget* panel = m_easyPanel;
    QComboBox* text11 = makeValueBox(panel, u"Text11", {5520, 960, 2655, 360});
    QComboBox* text10 = makeValueBox(panel, u"Text10", {5520, 360, 2655, 360});
    text11->setFont(japaneseFont(12));
    text10->setFont(japaneseFont(12));
    m_easyRunButton = makeButton(panel, u"Command7", QStringLiteral("実行"),
                                 QStringLiteral("設定内容を実行します"), {5040, 2280, 1335, 375});
    m_easyOperationList = makeList(panel, u"List6", easyOperationItems(), {120, 240, 4695, 2400});
    QLabel* label12 = makeLabel(panel, u"Label12", QStringLiteral("B="), {5160, 1000, 300, 240});
    QLabel* label11 = makeLabel(panel, u"Label11", QStringLiteral("A="), {5160, 405, 300, 240});
    label12->setFont(japaneseFont(12, true));
    label11->setFont(japaneseFont(12, true));
    labelFor(label11, text10);
    labelFor(label12, text11);
    m_easyOperationList->setAccessibleName(QStringLiteral("イージーモードの処理"));
    m_valueBoxes[0] = text10;
    m_valueBoxes[1] = text11;
}

void Form1::buildAdvancedPanel()
{
    QGroupBox* frame2 =
        makeFrame(m_advancedPanel, u"Frame2", QStringLiteral("A位置"), {120, 240, 3615, 2415});
    QGroupBox* frame3 =
        makeFrame(m_advancedPanel, u"Frame3", QStringLiteral("B位置"), {3960, 240, 3615, 2415});
    QGroupBox* frame4 =
        makeFrame(m_advancedPanel, u"Frame4", QStringLiteral("処理"), {7800, 240, 3615, 2415});

    m_positionAList = makeList(frame2, u"List4", positionAItems(), {120, 240, 3375, 1320});
    QLabel* label3 = makeLabel(frame2, u"Label3", QStringLiteral("値A-1"), {120, 1720, 480, 180});
    QComboBox* text4 = makeValueBox(frame2, u"Text4", {600, 1680, 1455, 300});
    QLabel* label9 = makeLabel(frame2, u"Label9", QStringLiteral("値A-2"), {120, 2080, 480, 180});
    QComboBox* text8 = makeValueBox(frame2, u"Text8", {600, 2040, 1455, 300});
    QGroupBox* frame6 =
        makeFrame(frame2, u"Frame6", QStringLiteral("プラスする値"), {2160, 1680, 1335, 615});
    m_plusABox = makeTextBox(frame6, u"Text12", QStringLiteral("0"), {120, 240, 1095, 270});

    m_positionBList = makeList(frame3, u"List5", positionBItems(), {120, 240, 3375, 1320});
    QLabel* label4 = makeLabel(frame3, u"Label4", QStringLiteral("値B-1"), {120, 1720, 480, 180});
    QComboBox* text5 = makeValueBox(frame3, u"Text5", {600, 1680, 1455, 300});
    QLabel* label10 = makeLabel(frame3, u"Label10", QStringLiteral("値B-2"), {120, 2080, 480, 180});
    QComboBox* text9 = makeValueBox(frame3, u"Text9", {600, 2040, 1455, 300});
    QGroupBox* frame7 =
        makeFrame(frame3, u"Frame7", QStringLiteral("プラスする値"), {2160, 1680, 1335, 615});
    m_plusBBox = makeTextBox(frame7, u"Text13", QStringLiteral("0"), {120, 240, 1095, 270});

    m_advancedOperationList =
        makeList(frame4, u"List3", advancedOperationItems(), {120, 240, 3375, 1140});
    QLabel* label2 = makeLabel(frame4, u"Label2", QStringLiteral("値C"), {120, 1600, 300, 180});
    QComboBox* text3 = makeValueBox(frame4, u"Text3", {480, 1560, 3015, 300});
    m_advancedRunButton =
        makeButton(frame4, u"Command6", QStringLiteral("実行"),
                   QStringLiteral("設定内容を実行します"), {2520, 1920, 975, 375});

    labelFor(label3, text4);
    labelFor(label9, text8);
    labelFor(label4, text5);
    labelFor(label10, text9);
    labelFor(label2, text3);
    m_positionAList->setAccessibleName(frame2->title());
    m_positionBList->setAccessibleName(frame3->title());
    m_advancedOperationList->setAccessibleName(frame4->title());
    m_plusABox->setAccessibleName(frame2->title() + u' ' + frame6->title());
    m_plusBBox->setAccessibleName(frame3->title() + u' ' + frame7->title());

    m_valueBoxes[2] = text4;
    m_valueBoxes[3] = text8;
    m_valueBoxes[4] = text5;
    m_valueBoxes[5] = text9;
    m_valueBoxes[6] = text3;
}

} // namespace quillet::ui
