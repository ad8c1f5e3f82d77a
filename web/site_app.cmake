# Makes a web build's site an app that installs and opens offline, once the build has put its
# files there (cmake -DSITE=FOLDER -DTEMPLATE=sw.js.in -P site_app.cmake):
#  - the program's crane.wasm takes a name made from its content, crane.<hash>.wasm, which
#    crane.js is told: a server may then let browsers keep it for good (web/serve.json), while
#    crane.js, loaded by a fixed name, is revalidated and always names the current one;
#  - sw.js, the service worker, lists every file of the site and names its cache after all of
#    their contents, so that a new build's worker replaces the old cache and the same build
#    keeps it.
if(EXISTS ${SITE}/crane.wasm)
  file(SHA256 ${SITE}/crane.wasm hash)
  string(SUBSTRING ${hash} 0 12 hash)
  file(READ ${SITE}/crane.js js)
  set(reference "wasmBinaryFile *= *[\"']crane\\.wasm[\"']")
  if(NOT js MATCHES "${reference}")
    message(FATAL_ERROR "${SITE}/crane.js does not name crane.wasm as expected")
  endif()
  string(REGEX REPLACE "${reference}" "wasmBinaryFile=\"crane.${hash}.wasm\"" js "${js}")
  file(GLOB old ${SITE}/crane.*.wasm)
  if(old)
    file(REMOVE ${old})
  endif()
  file(RENAME ${SITE}/crane.wasm ${SITE}/crane.${hash}.wasm)
  file(WRITE ${SITE}/crane.js "${js}")
endif()

file(GLOB files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
file(SHA256 ${TEMPLATE} digest)
set(names)
foreach(name ${files})
  if(IS_DIRECTORY ${SITE}/${name})
    continue()
  endif()
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND digest "\n${name} ${hash}")
  list(APPEND names "'${name}'")
endforeach()
string(SHA256 CRANE_SITE_VERSION "${digest}")
string(SUBSTRING ${CRANE_SITE_VERSION} 0 16 CRANE_SITE_VERSION)
list(JOIN names ", " CRANE_SITE_FILES)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
