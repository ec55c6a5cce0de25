#pragma once

#include <QString>
#include <array>

// The ten waybill fields as the forms were designed: name (also the stem of the field's
// settings keys), caption shown until the field is filled, side, visibility keys, and the
// design bounds in band pixels of a page laid out at 120 pixels per inch.
enum class WaybillSide { Sender, Recipient };

struct WaybillFieldSpec {
    const char* name;
    const char* caption;  // UTF-8
    WaybillSide side;
    const char* visibilityKey;
    const char* defaultVisibilityKey;
    int left;
    int top;
    int width;
    int height;

    QString objectName() const { return QString::fromLatin1(name); }
    QString captionText() const { return QString::fromUtf8(caption); }
    QString topKey(bool isDefault) const { return keyPrefix(isDefault) + QStringLiteral("TOP"); }
    QString leftKey(bool isDefault) const { return keyPrefix(isDefault) + QStringLiteral("Left"); }
    QString widthKey(bool isDefault) const {
        return keyPrefix(isDefault) + QStringLiteral("Width");
    }
    QString visibleKey(bool isDefault) const {
        return QString::fromLatin1(isDefault ? defaultVisibilityKey : visibilityKey);
    }

  private:
    QString keyPrefix(bool isDefault) const {
        return (isDefault ? QStringLiteral("Default") : QString()) + objectName();
    }
};

// In the order the template load and save walk them.
inline const std::array<WaybillFieldSpec, 10>& waybillFieldSpecs() {
    static const std::array<WaybillFieldSpec, 10> specs{{
        {"cbb1", "发货人", WaybillSide::Sender, "FHName", "FHDefaultName", 168, 87, 81, 26},
        {"cbb2", "始发地", WaybillSide::Sender, "FHOrigin", "FHDefaultOrigin", 347, 87, 60, 26},
        {"cbb3", "发货地址", WaybillSide::Sender, "FHAddress", "FHDefaultAddress", 149, 180, 244,
         26},
        {"cbb4", "发货电话", WaybillSide::Sender, "FHTelephone", "FHDefaultTelephone", 184, 243,
         209, 26},
        {"cbb5", "发货单位", WaybillSide::Sender, "FHCompany", "FHDefaultCompany", 147, 139, 238,
         24},
        {"cbb11", "收货人", WaybillSide::Recipient, "SHName", "SHDefaultName", 517, 93, 107, 26},
        {"cbb22", "目的地", WaybillSide::Recipient, "SHOrigin", "SHDefaultOrigin", 661, 105, 80,
         26},
        {"cbb33", "收货地址", WaybillSide::Recipient, "SHAddress", "SHDefaultAddress", 484, 180,
         269, 26},
        {"cbb44", "收货电话", WaybillSide::Recipient, "SHTelephone", "SHDefaultTelephone", 536, 243,
         217, 26},
        {"cbb55", "收货单位", WaybillSide::Recipient, "SHCompany", "SHDefaultCompany", 504, 137,
         217, 24},
    }};
    return specs;
}

// The band's children at start are the picture followed by the fields in this order, which
// is also their tab order.
inline constexpr std::array<int, 10> kBandFieldOrder{0, 1, 2, 3, 5, 6, 7, 8, 4, 9};

// The band at design: 230 x 128 mm page, 1 mm margins, 120 pixels per inch.
inline constexpr int kDesignBandWidthPx = 1078;
inline constexpr int kDesignBandHeightPx = 595;
