#include "addressbook/AddressNameLists.h"

QStringList SenderNameList;
QStringList CustomerNameList;
