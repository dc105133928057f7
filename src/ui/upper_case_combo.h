#pragma once
// A drop-down list that shows its items in capitals. Only the display changes:
// the items keep their text, so paths stay exact on case-sensitive file systems.

#include <QComboBox>

class UpperCaseComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit UpperCaseComboBox(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
