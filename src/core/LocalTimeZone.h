#pragma once

namespace lms {

// Names the system's local time zone for the C library once, at start. Without a name the
// library looks at /etc/localtime again on every local-time conversion, and a lookup converts
// dates dozens of times.
void pinLocalTimeZone();

} // namespace lms
