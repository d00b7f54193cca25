// The two operation panels of the main window and the remembered values they use.
#include "ui/form1.h"

#include "memory/rememberedvalues.h"
#include "transform/advancededit.h"
#include "transform/codecrewrite.h"
#include "transform/easymode.h"
#include "ui/userdialogs.h"
#include "ui/valueboxes.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

void Form1::runEasyMode()
{
    const int index = m_easyOperationList->currentRow();
    transform::EasyValues values{m_valueBoxes[0]->currentText(), m_valueBoxes[1]->currentText(),
                                 m_startup.crc16Template,        m_startup.crc32Template,
                                 m_startup.codecTemplate,        {}};
    // The codec-name table is read once per run, not once per line.
    if (index == transform::easy::kCodecRewrite)
        values.codecNames =
            transform::ProfileFile::load(QString(m_dataFolder).append(transform::kCodecChangeFile));
    const std::optional<batch::ChunkedText> names =
        transform::RunEasyMode(index, m_editorNames.names(), m_batch.count(), values);
    if (!names)
        return;
    m_values->RememberAllValues();
    replaceNamesAs(*names, ChangeKind::Steps,
                   {recipe::EasyStep{index, values.valueA, values.valueB}});
}

void Form1::runAdvancedEdit()
{
    transform::AdvancedEditRequest request;
    request.operation = m_advancedOperationList->currentRow();
    request.modeA = m_positionAList->currentRow();
    request.valueA1 = m_valueBoxes[2]->currentText();
    request.plusA = m_plusABox->text();
    request.modeB = m_positionBList->currentRow();
    request.valueB1 = m_valueBoxes[4]->currentText();
    request.plusB = m_plusBBox->text();
    request.valueC = m_valueBoxes[6]->currentText();
    replaceNamesAs(transform::ApplyAdvancedEdit(m_batch.count(), names(), request),
                   ChangeKind::Steps, {recipe::AdvancedStep{request}});
}

void Form1::saveRememberedValues()
{
    const std::optional<datafile::WriteError> error =
        memory::SaveRememberedValues(m_dataFolder, m_values->entries());
    if (error) {
        m_dialogs.showMessage(
            u"入力履歴を保存できませんでした。\r\n\r\n"_s
            + QDir::toNativeSeparators(QString(m_dataFolder).append(memory::kRememberedValuesFile))
            + u"\r\n"_s + error->reason);
    }
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

} // namespace quillet::ui
