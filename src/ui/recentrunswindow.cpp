#include "ui/recentrunswindow.h"

#include "batch/nativepath.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

namespace {

enum Column { When, Kind, Count, Folders, Names, State, ColumnCount };

QString namesText(const journal::RunRecord& run, QChar separator)
{
    QStringList names;
    for (const auto& [from, to] : run.firstNames) {
        names.append(batch::displayText(QFileInfo(from).fileName(), separator) + u" → "_s
                     + batch::displayText(QFileInfo(to).fileName(), separator));
    }
    if (run.count > run.firstNames.size())
        names.append(u"…"_s);
    return names.join(u"、"_s);
}

QString detailsText(const journal::RunRecord& run, QChar separator)
{
    if (!run.damage.isEmpty())
        return run.damage;
    QString text;
    for (const auto& [from, to] : run.firstNames) {
        text += batch::displayText(from, separator) + u"\n  → "_s
                + batch::displayText(to, separator) + u'\n';
    }
    if (!run.problems.isEmpty()) {
        text += u"\n元に戻さない%1件:\n"_s.arg(run.problems.size());
        for (const journal::UndoProblem& problem : run.problems)
            text +=
                batch::displayText(problem.path, separator) + u"\n  "_s + problem.reason + u'\n';
    }
    return text.trimmed();
}

} // namespace

RecentRunsWindow::RecentRunsWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(u"RecentRuns"_s);
    setWindowTitle(u"最近のリネーム"_s);
    resize(900, 480);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"RunList"_s);
    m_list->setAccessibleName(u"最近のリネーム"_s);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setColumnCount(ColumnCount);
    m_list->setHeaderLabels(
        {u"日時"_s, u"種類"_s, u"件数"_s, u"フォルダ"_s, u"名前"_s, u"元に戻せるか"_s});
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(Names, QHeaderView::Stretch);

    m_details = new QLabel(this);
    m_details->setObjectName(u"RunDetails"_s);
    m_details->setTextFormat(Qt::PlainText);
    m_details->setWordWrap(true);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_details->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_details->setMinimumHeight(fontMetrics().lineSpacing() * 6);

    m_takeBackButton = new QPushButton(u"元に戻す"_s, this);
    m_takeBackButton->setObjectName(u"TakeBackButton"_s);
    auto* closeButton = new QPushButton(u"閉じる"_s, this);
    closeButton->setObjectName(u"CloseButton"_s);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_takeBackButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 3);
    layout->addWidget(m_details, 1);
    layout->addLayout(buttons);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &RecentRunsWindow::updateButton);
    connect(m_list, &QTreeWidget::itemActivated, this, &RecentRunsWindow::takeBackSelected);
    connect(m_takeBackButton, &QPushButton::clicked, this, &RecentRunsWindow::takeBackSelected);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    setFocusProxy(m_list);
}

void RecentRunsWindow::setRuns(const QList<journal::RunRecord>& runs, QChar separator)
{
    // The same run stays selected when the list is read again after a run.
    const QTreeWidgetItem* current = m_list->currentItem();
    const QString selected = current ? current->data(When, Qt::UserRole).toString() : QString();
    m_runs = runs;
    m_separator = separator;
    m_list->clear();
    QTreeWidgetItem* reselect = nullptr;
    for (const journal::RunRecord& run : m_runs) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setData(When, Qt::UserRole, run.fileName());
        if (!run.damage.isEmpty()) {
            item->setText(When, run.fileName());
            item->setText(State, journal::takingBackState(run));
        } else {
            item->setText(When, journal::runTimeText(run.startedUtc));
            item->setText(Kind,
                          journal::runKindText(run.kind) + (run.ended ? QString() : u"（中断）"_s));
            item->setText(Count, QString::number(run.count));
            item->setTextAlignment(Count, Qt::AlignRight | Qt::AlignVCenter);
            QStringList folders;
            for (const QString& folder : run.folders)
                folders.append(batch::displayText(folder, separator));
            item->setText(Folders, folders.join(u"、"_s));
            item->setText(Names, namesText(run, separator));
            item->setText(State, journal::takingBackState(run));
        }
        item->setToolTip(Names, detailsText(run, separator));
        if (run.fileName() == selected)
            reselect = item;
    }
    for (int column : {When, Kind, Count, Folders, State})
        m_list->resizeColumnToContents(column);
    m_list->setCurrentItem(reselect ? reselect : m_list->topLevelItem(0));
    updateButton();
}

void RecentRunsWindow::updateButton()
{
    const int row = m_list->currentItem() ? m_list->indexOfTopLevelItem(m_list->currentItem()) : -1;
    const journal::RunRecord* run = row >= 0 && row < m_runs.size() ? &m_runs.at(row) : nullptr;
    m_takeBackButton->setText(journal::takingBackVerb(run ? run->kind : journal::RunKind::Rename));
    m_takeBackButton->setEnabled(run && run->damage.isEmpty() && run->undoable > 0);
    m_details->setText(run ? detailsText(*run, m_separator) : QString());
}

void RecentRunsWindow::takeBackSelected()
{
    const QTreeWidgetItem* item = m_list->currentItem();
    if (!item || !m_takeBackButton->isEnabled())
        return;
    emit takeBackRequested(item->data(When, Qt::UserRole).toString());
}

void RecentRunsWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace quillet::ui
