#pragma once

#include <QWidget>

class QLabel;

namespace quillet::ui {

// The progress window shown while a checksum is computed.
class Form3 final : public QWidget {
    Q_OBJECT

public:
    explicit Form3(QWidget* parent = nullptr);

    void setProgressText(const QString& text);

private:
    QLabel* m_progressLabel = nullptr;
};

} // namespace quillet::ui
