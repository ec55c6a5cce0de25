#pragma once

#include <QStringList>

// The process-wide name lists: every sender name (column 发货人 of 发货人) and every
// customer name (column 名称 of 客户), in the order of the listing statements. They exist from
// before the main window until the program ends. The pickers' entries are copied from them, the
// letter filter always reads them, and only a fill changes them.
extern QStringList SenderNameList;
extern QStringList CustomerNameList;
