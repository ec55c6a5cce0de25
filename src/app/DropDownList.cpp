#include "app/DropDownList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QProxyStyle>

namespace {

// Styles that open a combo box's list as a menu over it (Fusion, the Linux default) also
// measure every entry's text each time the list opens; a drop-down list measures only the rows
// it shows.
class DropDownListStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

QStyle* dropDownListStyle() {
    static QPointer<DropDownListStyle> style;
    if (!style) {
        style = new DropDownListStyle;
        style->setParent(qApp);
    }
    return style;
}

void fitDropDownListToEntries(QComboBox* list) {
    list->setStyle(dropDownListStyle());
    QAbstractItemView* view = list->view();
    const int scrollBar =
        list->count() > list->maxVisibleItems()
            ? view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view)
            : 0;
    view->setMinimumWidth(view->sizeHintForColumn(list->modelColumn()) + scrollBar +
                          2 * view->frameWidth());
}
