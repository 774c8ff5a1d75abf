#include "util/TConfigKey.h"

namespace {
// clang-format off
constexpr char kConfigKey[] =
    "MIICdwIBADANBgkqhkiG9w0BAQEFAASCAmEwggJdAgEAAoGBAOTT+n1YlRm5MkmlmVVyog8cQYRO"
    "hGmYcmt4izNJYCjUpyg3qT47qQ2tW97YU2yf9M8DODTEqJC/3G6Ffjak8zUx/qtBnLlplxR7ZyEj"
    "BVRDkJ3QIqX4yUQ10A1m//NRB+B43nzwcpM4f2L7ueaHXlbJhzxmiG6rJC5KAacPPJ4DAgMBAAEC"
    "gYBYttYmQnGLx4D3jHwl5Itv0ESWRtqPFctGXzWYbJobOlaUAQBcYETqSIuVmci+FEWU/GqOCrBP"
    "bhLHxnloNgsTmN8nSNE4q+6b77+O7xuf9pZaRVbNfQENelELfCAvtbwBJtV7Aq/9JasehE6I3RR2"
    "3+pD76TM5hrdQyj5fka8AQJBAPUMLMHZir1jbYsIhaWzEavvjJzk4EGziPyXhg06aRVDMmmj75p4"
    "/kimwusDzXCo8E++scjRCvIOoMomn208BLkCQQDvDjh0OxtbM5KkpY16UCx7/7AyGh3bsa0VcoFq"
    "GO1RQJSPUrcBtoU+HEp4E3dwsK91lJflhw/IzfElhAK5NtKbAkEAkwFeyFxNUxiW2tWd963ZaCAp"
    "ZuYXctLV11K/ZKgp6kuJrr5eO3licws32+1IDdILeIuZ9DMUMep8o0lQUyOyYQJBAKktey5mlhmZ"
    "CfKTZuhkzNaEQQF0EiVkPIWtH4EiWvDhr0Eu3GzN6sXl553KyQBrSgEAQ+8gAj+t3zcZkYPaFHkC"
    "QCj1UEwOQcszbmR+1UNRZllQocNmGoXAw61cpOArd5/p7E0ffL3PCw+sFsHyoLRnzSI4Pt1Uftx2"
    "0VFx7eBiSy0="
    ;
// clang-format on
}  // namespace

const char* BuiltInConfigKey() { return kConfigKey; }
