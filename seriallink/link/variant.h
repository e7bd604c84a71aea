// The build-time choice of variant: each library of the serial link is this source
// compiled with one SERIALLINK_VARIANT_* definition.
#pragma once

#include "link/link_profile.h"

#if defined(SERIALLINK_VARIANT_NETLINKER)
namespace seriallink {
inline constexpr const LinkProfile& kVariant = kNetLinker;
}  // namespace seriallink
#else
#error "the serial link is built as one variant: define SERIALLINK_VARIANT_NETLINKER"
#endif
