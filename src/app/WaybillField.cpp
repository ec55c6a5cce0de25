#include "app/WaybillField.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionComboBox>

#include "app/WaybillFieldSpecs.h"

namespace {
// Draws a combo box as a plain edit box: the edit field takes the whole frame and there is no
// drop-down button, which is how the fields looked on the forms they were calibrated for.
class SimpleComboStyle : public QProxyStyle {
  public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        if (control == CC_ComboBox) {
            if (sub == SC_ComboBoxArrow) return {};
            if (sub == SC_ComboBoxEditField) return option->rect.adjusted(2, 2, -2, -2);
        }
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        if (control != CC_ComboBox) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionFrame frame;
        frame.QStyleOption::operator=(*option);
        frame.lineWidth = 1;
        frame.state |= State_Sunken;
        drawPrimitive(PE_PanelLineEdit, &frame, painter, widget);
    }
};

QStyle* simpleComboStyle() {
    static SimpleComboStyle* style = [] {
        auto* s = new SimpleComboStyle;
        s->setParent(qApp);  // lives as long as the application
        return s;
    }();
    return style;
}
}  // namespace

WaybillField::WaybillField(QWidget* parent) : QComboBox(parent) {
    setStyle(simpleComboStyle());
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    QFont designFont(QStringLiteral("Arial"));
    designFont.setPixelSize(16);
    setFont(designFont);
}

WaybillField::WaybillField(const WaybillFieldSpec& spec, QWidget* parent) : WaybillField(parent) {
    setObjectName(spec.objectName());
    setGeometry(spec.left, spec.top, spec.width, spec.height);
    // The caption says what belongs in the field while it is empty; it is never its text, so
    // an unfilled field prints nothing.
    lineEdit()->setPlaceholderText(spec.captionText());
}
