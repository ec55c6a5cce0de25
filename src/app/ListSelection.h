#pragma once

#include <QComboBox>
#include <QString>

// Selects the first item whose text equals `text` without regard to letter case; with none,
// nothing is selected and the list shows an empty text. Selecting from the program never runs
// the list's change handler (handlers are connected to `activated`, which only the user fires).
inline void selectItemEqual(QComboBox* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
            list->setCurrentIndex(i);
            return;
        }
    }
    list->setCurrentIndex(-1);
}
