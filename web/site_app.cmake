# Makes a web build's site an app that installs and opens offline, once the build has put its
# files there (cmake -DSITE=FOLDER -DTEMPLATE=sw.js.in -P site_app.cmake):
#  - the program's crane.wasm takes a name made from its content, crane.<hash>.wasm, which
#    crane.js and page.js are told: a server may then let browsers keep it for good
#    (web/serve.json), while crane.js and page.js, loaded by fixed names, are revalidated and
#    always name the current one;
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

# The page fetches and compiles the wasm itself, by the name it has now (page.js may have been
# written anew since, or still name an earlier build's).
file(GLOB wasm RELATIVE ${SITE} ${SITE}/crane.*.wasm)
if(wasm AND EXISTS ${SITE}/page.js)
  file(READ ${SITE}/page.js page)
  set(page_reference "const wasmFile = 'crane\\.[0-9a-f.]*wasm';")
  if(NOT page MATCHES "${page_reference}")
    message(FATAL_ERROR "${SITE}/page.js does not name the program's wasm as expected")
  endif()
  string(REGEX REPLACE "${page_reference}" "const wasmFile = '${wasm}';" named "${page}")
  if(NOT named STREQUAL page)
    file(WRITE ${SITE}/page.js "${named}")
  endif()
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
