#include "ui/upper_case_combo.h"

#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

class UpperCaseDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant &value, const QLocale &locale) const override {
        return QStyledItemDelegate::displayText(value, locale).toUpper();
    }
};

} // namespace

UpperCaseComboBox::UpperCaseComboBox(QWidget *parent) : QComboBox(parent) {
    setEditable(false);
    setItemDelegate(new UpperCaseDelegate(this));
}

void UpperCaseComboBox::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = option.currentText.toUpper();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
