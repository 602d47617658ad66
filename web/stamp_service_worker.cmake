# Writes sw.js with a digest of the game's files, so that each build that
# changes them is a new service worker and a new cache.
set(digests "")
foreach(file ${FILES})
  file(SHA256 ${file} digest)
  string(APPEND digests ${digest})
endforeach()
string(SHA256 MUNCHORA_WEB_DIGEST "${digests}")
string(SUBSTRING ${MUNCHORA_WEB_DIGEST} 0 16 MUNCHORA_WEB_DIGEST)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
