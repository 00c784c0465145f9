#include "import/mapi_properties.h"

#include <cstdio>
#include <ctime>

namespace {

struct PropertyName {
    uint32_t Tag;
    const char* Name;
};

// Published MAPI property tags, by identifier. Where two names share an
// identifier the first one is the one written.
constexpr PropertyName PropertyNames[] = {
    {0x00010003, "ACKNOWLEDGEMENT_MODE"},
    {0x0002000B, "ALTERNATE_RECIPIENT_ALLOWED"},
    {0x00030102, "AUTHORIZING_USERS"},
    {0x0004001E, "AUTO_FORWARD_COMMENT"},
    {0x0005000B, "AUTO_FORWARDED"},
    {0x00060102, "CONTENT_CONFIDENTIALITY_ALGORITHM_ID"},
    {0x00070102, "CONTENT_CORRELATOR"},
    {0x0008001E, "CONTENT_IDENTIFIER"},
    {0x00090003, "CONTENT_LENGTH"},
    {0x000A000B, "CONTENT_RETURN_REQUESTED"},
    {0x000B0102, "CONVERSATION_KEY"},
    {0x000C0102, "CONVERSION_EITS"},
    {0x000D000B, "CONVERSION_WITH_LOSS_PROHIBITED"},
    {0x000E0102, "CONVERTED_EITS"},
    {0x000F0040, "DEFERRED_DELIVERY_TIME"},
    {0x00100040, "DELIVER_TIME"},
    {0x00110003, "DISCARD_REASON"},
    {0x0012000B, "DISCLOSURE_OF_RECIPIENTS"},
    {0x00130102, "DL_EXPANSION_HISTORY"},
    {0x0014000B, "DL_EXPANSION_PROHIBITED"},
    {0x00150040, "EXPIRY_TIME"},
    {0x0016000B, "IMPLICIT_CONVERSION_PROHIBITED"},
    {0x00170003, "IMPORTANCE"},
    {0x00180102, "IPM_ID"},
    {0x00190040, "LATEST_DELIVERY_TIME"},
    {0x001A001E, "MESSAGE_CLASS"},
    {0x001B0102, "MESSAGE_DELIVERY_ID"},
    {0x00260003, "PRIORITY"},
    {0x00360003, "SENSITIVITY"},
    {0x0037001E, "SUBJECT"},
    {0x00390040, "CLIENT_SUBMIT_TIME"},
    {0x003D001E, "SUBJECT_PREFIX"},
    {0x0042001E, "SENT_REPRESENTING_NAME"},
    {0x0064001E, "SENT_REPRESENTING_ADDRTYPE"},
    {0x0065001E, "SENT_REPRESENTING_EMAIL_ADDRESS"},
    {0x0070001E, "CONVERSATION_TOPIC"},
    {0x00710102, "CONVERSATION_INDEX"},
    {0x0075001E, "RECEIVED_BY_ADDRTYPE"},
    {0x0076001E, "RECEIVED_BY_EMAIL_ADDRESS"},
    {0x0077001E, "RCVD_REPRESENTING_ADDRTYPE"},
    {0x0078001E, "RCVD_REPRESENTING_EMAIL_ADDRESS"},
    {0x0C15000E, "RECIPIENT_TYPE"},
    {0x0C1A001E, "SENDER_NAME"},
    {0x0C1E001E, "SENDER_ADDRTYPE"},
    {0x0C1F001E, "SENDER_EMAIL_ADDRESS"},
    {0x0E060040, "MESSAGE_DELIVERY_TIME"},
    {0x0E070003, "MESSAGE_FLAGS"},
    {0x0E080003, "MESSAGE_SIZE"},
    {0x0E1B000B, "HASATTACH"},
    {0x0E1D001E, "NORMALIZED_SUBJECT"},
    {0x0FF40003, "ACCESS"},
    {0x0FF50003, "ROW_TYPE"},
    {0x0FF60102, "INSTANCE_KEY"},
    {0x0FF70003, "ACCESS_LEVEL"},
    {0x0FF80102, "MAPPING_SIGNATURE"},
    {0x0FF90102, "RECORD_KEY"},
    {0x0FFA0102, "STORE_RECORD_KEY"},
    {0x0FFB0102, "STORE_ENTRYID"},
    {0x0FFC0102, "MINI_ICON"},
    {0x0FFD0102, "ICON"},
    {0x0FFE0003, "OBJECT_TYPE"},
    {0x0FFF0102, "ENTRYID"},
    {0x1000001E, "BODY"},
    {0x1009001E, "RTF_COMPRESSED"},
    {0x3000000E, "ROWID"},
    {0x3001001E, "DISPLAY_NAME"},
    {0x3002001E, "ADDRTYPE"},
    {0x3003001E, "EMAIL_ADDRESS"},
    {0x3004001E, "COMMENT"},
    {0x30050003, "DEPTH"},
    {0x3006001E, "PROVIDER_DISPLAY"},
    {0x30070040, "CREATION_TIME"},
    {0x30080040, "LAST_MODIFICATION_TIME"},
    {0x30090003, "RESOURCE_FLAGS"},
    {0x300A001E, "PROVIDER_DLL_NAME"},
    {0x300B0102, "SEARCH_KEY"},
    {0x300C0102, "PROVIDER_UID"},
    {0x300D0003, "PROVIDER_ORDINAL"},
    {0x36000003, "CONTAINER_FLAGS"},
    {0x36010003, "FOLDER_TYPE"},
    {0x36020003, "CONTENT_COUNT"},
    {0x36030003, "CONTENT_UNREAD"},
    {0x360A000B, "SUBFOLDERS"},
    {0x36130003, "CONTAINER_CLASS"},
    {0x39000003, "DISPLAY_TYPE"},
    {0x39020102, "TEMPLATEID"},
    {0x39FE001E, "SMTP_ADDRESS"},
    {0x3A00001E, "ACCOUNT"},
    {0x3A010102, "ALTERNATE_RECIPIENT"},
    {0x3A02001E, "CALLBACK_TELEPHONE_NUMBER"},
    {0x3A03000B, "CONVERSION_PROHIBITED"},
    {0x3A04000B, "DISCLOSE_RECIPIENTS"},
    {0x3A05001E, "GENERATION"},
    {0x3A06001E, "GIVEN_NAME"},
    {0x3A07001E, "GOVERNMENT_ID_NUMBER"},
    {0x3A08001E, "BUSINESS_TELEPHONE_NUMBER"},
    {0x3A08001E, "OFFICE_TELEPHONE_NUMBER"},
    {0x3A09001E, "HOME_TELEPHONE_NUMBER"},
    {0x3A0A001E, "INITIALS"},
    {0x3A0B001E, "KEYWORD"},
    {0x3A0C001E, "LANGUAGE"},
    {0x3A0D001E, "LOCATION"},
    {0x3A0E000B, "MAIL_PERMISSION"},
    {0x3A0F001E, "MHS_COMMON_NAME"},
    {0x3A10001E, "ORGANIZATIONAL_ID_NUMBER"},
    {0x3A11001E, "SURNAME"},
    {0x3A120102, "ORIGINAL_ENTRYID"},
    {0x3A13001E, "ORIGINAL_DISPLAY_NAME"},
    {0x3A140102, "ORIGINAL_SEARCH_KEY"},
    {0x3A15001E, "POSTAL_ADDRESS"},
    {0x3A16001E, "COMPANY_NAME"},
    {0x3A17001E, "TITLE"},
    {0x3A18001E, "DEPARTMENT_NAME"},
    {0x3A19001E, "OFFICE_LOCATION"},
    {0x3A1A001E, "PRIMARY_TELEPHONE_NUMBER"},
    {0x3A1B001E, "BUSINESS2_TELEPHONE_NUMBER"},
    {0x3A1C001E, "MOBILE_TELEPHONE_NUMBER"},
    {0x3A1C001E, "CELLULAR_TELEPHONE_NUMBER"},
    {0x3A1D001E, "RADIO_TELEPHONE_NUMBER"},
    {0x3A1E001E, "CAR_TELEPHONE_NUMBER"},
    {0x3A1F001E, "OTHER_TELEPHONE_NUMBER"},
    {0x3A20001E, "TRANSMITABLE_DISPLAY_NAME"},
    {0x3A21001E, "PAGER_TELEPHONE_NUMBER"},
    {0x3A21001E, "BEEPER_TELEPHONE_NUMBER"},
    {0x3A220102, "USER_CERTIFICATE"},
    {0x3A23001E, "PRIMARY_FAX_NUMBER"},
    {0x3A24001E, "BUSINESS_FAX_NUMBER"},
    {0x3A25001E, "HOME_FAX_NUMBER"},
    {0x3A26001E, "COUNTRY"},
    {0x3A26001E, "BUSINESS_ADDRESS_COUNTRY"},
    {0x3A27001E, "LOCALITY"},
    {0x3A27001E, "BUSINESS_ADDRESS_CITY"},
    {0x3A28001E, "STATE_OR_PROVINCE"},
    {0x3A28001E, "BUSINESS_ADDRESS_STATE_OR_PROVINCE"},
    {0x3A29001E, "STREET_ADDRESS"},
    {0x3A29001E, "BUSINESS_ADDRESS_STREET"},
    {0x3A2A001E, "POSTAL_CODE"},
    {0x3A2A001E, "BUSINESS_ADDRESS_POSTAL_CODE"},
    {0x3A2B001E, "POST_OFFICE_BOX"},
    {0x3A2B001E, "BUSINESS_ADDRESS_POST_OFFICE_BOX"},
    {0x3A2C001E, "TELEX_NUMBER"},
    {0x3A2D001E, "ISDN_NUMBER"},
    {0x3A2E001E, "ASSISTANT_TELEPHONE_NUMBER"},
    {0x3A2F001E, "HOME2_TELEPHONE_NUMBER"},
    {0x3A30001E, "ASSISTANT"},
    {0x3A40000B, "SEND_RICH_INFO"},
    {0x3A410040, "WEDDING_ANNIVERSARY"},
    {0x3A420040, "BIRTHDAY"},
    {0x3A43001E, "HOBBIES"},
    {0x3A44001E, "MIDDLE_NAME"},
    {0x3A45001E, "DISPLAY_NAME_PREFIX"},
    {0x3A46001E, "PROFESSION"},
    {0x3A47001E, "PREFERRED_BY_NAME"},
    {0x3A48001E, "SPOUSE_NAME"},
    {0x3A49001E, "COMPUTER_NETWORK_NAME"},
    {0x3A4A001E, "CUSTOMER_ID"},
    {0x3A4B001E, "TTYTDD_PHONE_NUMBER"},
    {0x3A4C001E, "FTP_SITE"},
    {0x3A4D0002, "GENDER"},
    {0x3A4E001E, "MANAGER_NAME"},
    {0x3A4F001E, "NICKNAME"},
    {0x3A50001E, "PERSONAL_HOME_PAGE"},
    {0x3A51001E, "BUSINESS_HOME_PAGE"},
    {0x3A520048, "CONTACT_VERSION"},
    {0x3A531102, "CONTACT_ENTRYIDS"},
    {0x3A54101E, "CONTACT_ADDRTYPES"},
    {0x3A550003, "CONTACT_DEFAULT_ADDRESS_INDEX"},
    {0x3A56101E, "CONTACT_EMAIL_ADDRESSES"},
    {0x3A57001E, "COMPANY_MAIN_PHONE_NUMBER"},
    {0x3A58101E, "CHILDRENS_NAMES"},
    {0x3A59001E, "HOME_ADDRESS_CITY"},
    {0x3A5A001E, "HOME_ADDRESS_COUNTRY"},
    {0x3A5B001E, "HOME_ADDRESS_POSTAL_CODE"},
    {0x3A5C001E, "HOME_ADDRESS_STATE_OR_PROVINCE"},
    {0x3A5D001E, "HOME_ADDRESS_STREET"},
    {0x3A5E001E, "HOME_ADDRESS_POST_OFFICE_BOX"},
    {0x3A5F001E, "OTHER_ADDRESS_CITY"},
    {0x3A60001E, "OTHER_ADDRESS_COUNTRY"},
    {0x3A61001E, "OTHER_ADDRESS_POSTAL_CODE"},
    {0x3A62001E, "OTHER_ADDRESS_STATE_OR_PROVINCE"},
    {0x3A63001E, "OTHER_ADDRESS_STREET"},
    {0x3A64001E, "OTHER_ADDRESS_POST_OFFICE_BOX"},
};

std::string Format(const char* format, auto... arguments) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, arguments...);
    return buffer;
}

// FILETIME ticks (UTC) to local date and time text.
std::string LocalTimeText(uint64_t fileTime) {
    constexpr int64_t TicksPerSecond = 10000000;
    constexpr int64_t SecondsFrom1601To1970 = 11644473600;
    std::time_t seconds =
        static_cast<std::time_t>(static_cast<int64_t>(fileTime / TicksPerSecond) - SecondsFrom1601To1970);
    std::tm local{};
    if (!::localtime_r(&seconds, &local))
        return {};
    char buffer[128];
    size_t length = std::strftime(buffer, sizeof buffer, "%x %X", &local);
    return std::string(buffer, length);
}

std::string BinaryText(const std::string& bytes) {
    if (bytes.size() != 4)
        return Format("[Binary - Size: %d bytes]", static_cast<int>(bytes.size()));
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
        number = (number << 8) | static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
    return Format("[Binary - Size: %d bytes] (%.8x)", 4, number);
}

} // namespace

std::string MapiPropertyName(uint32_t tag) {
    for (const auto& entry : PropertyNames)
        if (PropertyId(entry.Tag) == PropertyId(tag))
            return entry.Name;
    return Format("[%x]", PropertyId(tag));
}

std::string MapiPropertyValueText(const MapiPropertyValue& value) {
    switch (PropertyType(value.Tag)) {
    case PT_I2:
        return std::to_string(static_cast<int16_t>(value.Long));
    case PT_LONG:
        return std::to_string(value.Long);
    case PT_R4:
    case PT_DOUBLE:
        return Format("%.15g", value.Double);
    case PT_ERROR:
        return {};
    case PT_BOOLEAN:
        return std::to_string(static_cast<uint16_t>(value.Long));
    case PT_STRING8:
        return value.Bytes;
    case PT_SYSTIME:
        return LocalTimeText(value.FileTime);
    case PT_BINARY:
        return BinaryText(value.Bytes);
    default:
        return Format("[Unknown type %x]", PropertyType(value.Tag));
    }
}
