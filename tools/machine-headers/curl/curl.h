// Stands in front of the machine's own header for every library but the
// backends, so that code above them cannot include it.
#error "only the desktop's network backend (src/platform/curl) includes libcurl"
