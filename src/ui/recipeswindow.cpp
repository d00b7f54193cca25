#include "ui/recipeswindow.h"

#include "ui/recipewords.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

RecipesWindow::RecipesWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(u"Recipes"_s);
    setWindowTitle(u"手順の一覧"_s);
    resize(720, 420);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"RecipeList"_s);
    m_list->setAccessibleName(u"手順"_s);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({u"名前"_s, u"保存した日時"_s, u"操作の数"_s});
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(false);

    m_steps = new QLabel(this);
    m_steps->setObjectName(u"RecipeSteps"_s);
    m_steps->setTextFormat(Qt::PlainText);
    m_steps->setWordWrap(true);
    m_steps->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_steps->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_steps->setFocusPolicy(Qt::StrongFocus);
    m_steps->setMinimumHeight(fontMetrics().lineSpacing() * 6);

    m_runButton = new QPushButton(u"実行"_s, this);
    m_runButton->setObjectName(u"RunButton"_s);
    m_renameButton = new QPushButton(u"名前を変更..."_s, this);
    m_renameButton->setObjectName(u"RenameButton"_s);
    m_deleteButton = new QPushButton(u"削除"_s, this);
    m_deleteButton->setObjectName(u"DeleteButton"_s);
    auto* closeButton = new QPushButton(u"閉じる"_s, this);
    closeButton->setObjectName(u"CloseButton"_s);
    for (QPushButton* button : {m_runButton, m_renameButton, m_deleteButton, closeButton})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_runButton);
    buttons->addWidget(m_renameButton);
    buttons->addWidget(m_deleteButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 2);
    layout->addWidget(m_steps, 1);
    layout->addLayout(buttons);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &RecipesWindow::showSelected);
    connect(m_runButton, &QPushButton::clicked, this,
            [this] { emit runRequested(selectedName()); });
    connect(m_renameButton, &QPushButton::clicked, this,
            [this] { emit renameRequested(selectedName()); });
    connect(m_deleteButton, &QPushButton::clicked, this,
            [this] { emit deleteRequested(selectedName()); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    showSelected();
}

QString RecipesWindow::stepsText(const recipe::Recipe& recipe)
{
    QStringList lines;
    for (qsizetype i = 0; i < recipe.steps.size(); ++i)
        lines.append(u"%1. %2"_s.arg(i + 1).arg(stepWords(recipe.steps.at(i))));
    if (lines.isEmpty())
        lines.append(u"(操作はありません)"_s);
    if (recipe.followsHandEdits)
        lines.append(u"※ 保存したときには、操作の前に手で行を編集していました。"_s);
    return lines.join(u'\n');
}

void RecipesWindow::setRecipes(const QList<recipe::Recipe>& recipes, const QString& select)
{
    const QString selected = select.isEmpty() ? selectedName() : select;
    m_recipes = recipes;
    m_list->clear();
    QTreeWidgetItem* current = nullptr;
    for (const recipe::Recipe& recipe : recipes) {
        auto* item = new QTreeWidgetItem(
            {recipe.name,
             QLocale::system().toString(recipe.saved.toLocalTime(), u"yyyy/MM/dd HH:mm"_s),
             QString::number(recipe.steps.size())});
        m_list->addTopLevelItem(item);
        if (!current || recipe.name == selected)
            current = item;
    }
    m_list->setCurrentItem(current);
    showSelected();
}

QString RecipesWindow::selectedName() const
{
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? item->text(0) : QString();
}

void RecipesWindow::showSelected()
{
    const int row = m_list->currentItem() ? m_list->indexOfTopLevelItem(m_list->currentItem()) : -1;
    const bool any = row >= 0 && row < m_recipes.size();
    m_steps->setText(any ? stepsText(m_recipes.at(row)) : u"保存した手順はありません。"_s);
    for (QPushButton* button : {m_runButton, m_renameButton, m_deleteButton})
        button->setEnabled(any);
}

} // namespace quillet::ui
