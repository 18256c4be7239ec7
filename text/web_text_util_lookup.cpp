// The IP lookups of the utility class, through pages of the IP-lookup site.
#include "services/conversions.h"
#include "services/encoding.h"
#include "services/http_fetch.h"
#include "text/web_text_util.h"

namespace oc {
namespace {

const Text kLocalIpStart =
    "\xC4\xFA\xB5\xC4IP\xB5\xD8\xD6\xB7\xCA\xC7\xA3\xBA[";  // 您的IP地址是：[
const Text kLocalIpEnd = "]";
const Text kLocationStart = "\xB1\xBE\xD5\xBE\xD6\xF7\xCA\xFD\xBE\xDD\xA3\xBA";  // 本站主数据：
const Text kLocationEnd = "</li><li>";

}  // namespace

Text WebTextUtil::fetchPageText(const Text& pathAndQuery) const {
    return toText(httpGet(ipLookupBase_ + pathAndQuery));
}

Text WebTextUtil::localIpAddress() const {
    return textBetween(fetchPageText("/ip2city.asp"), kLocalIpStart, kLocalIpEnd);
}

Text WebTextUtil::ipLocation(const Text& ipAddress) const {
    // Encoded so that no text can break the query; an address passes unchanged.
    Text page = fetchPageText("/ips8.asp?ip=" + urlEncode(ipAddress, true) + "&action=2");
    return textBetween(page, kLocationStart, kLocationEnd);
}

}  // namespace oc
