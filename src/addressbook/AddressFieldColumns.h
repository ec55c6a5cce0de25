#pragma once

// Which column of the address book fills which waybill field, in the order the fields are set.
struct FieldColumn {
    const char* field;
    const char* column;  // UTF-8
};
inline constexpr FieldColumn kSenderFields[] = {
    {"cbb1", "发货人"}, {"cbb2", "始发地"}, {"cbb3", "地址"}, {"cbb4", "电话"}, {"cbb5", "单位"},
};
inline constexpr FieldColumn kCustomerFields[] = {
    {"cbb11", "收货人"}, {"cbb22", "目的地"}, {"cbb33", "地址"},
    {"cbb44", "电话"},   {"cbb55", "名称"},
};
