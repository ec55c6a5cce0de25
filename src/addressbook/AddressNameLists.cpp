#include "addressbook/AddressNameLists.h"

AddressNameList SenderNameList;
AddressNameList CustomerNameList;

QStringList AddressNameList::toStringList() const {
    QStringList names;
    names.reserve(size());
    for (qsizetype i = 0; i < size(); ++i) names.append(at(i));
    return names;
}

bool operator==(const AddressNameList& list, const QStringList& names) {
    if (list.size() != names.size()) return false;
    for (qsizetype i = 0; i < names.size(); ++i)
        if (list.m_entries->name(int(i)) != names.at(i)) return false;
    return true;
}
