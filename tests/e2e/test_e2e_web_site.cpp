// The web build's site as served by the server tools/run.sh uses and opened in Chromium: its
// headers, its installability, and its use offline. tests/web/site_check.mjs serves and opens
// it and says what it saw; the checks are here.
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Runs one check of site_check.mjs on the build's site; its "name value" lines.
std::map<std::string, std::string> site_check(const std::vector<std::string>& check) {
    std::vector<std::string> argv = {"node", SITE_CHECK, check[0], WEB_SITE_FOLDER};
    argv.insert(argv.end(), check.begin() + 1, check.end());
    child::Options options;
    options.dir = SITE_CHECK_DIR;
    const child::Output node = child::run(argv, options);
    std::map<std::string, std::string> seen;
    std::istringstream lines(node.out);
    for (std::string line; std::getline(lines, line);) {
        const size_t space = line.find(' ');
        if (space != std::string::npos) seen[line.substr(0, space)] = line.substr(space + 1);
    }
    if (node.status != 0) seen["failed"] = node.err;
    return seen;
}

const char kRevalidated[] = "cache=no-cache";

} // namespace

// Compressed, with Cache-Control (a year for the content-named .wasm, revalidation for the rest)
// and the right types, over HTTP/1.1; the site's root is the page, and it runs.
TEST(WebSite, ServedCompressedCachedTypedAndTheRootIsThePage) {
    auto seen = site_check({"served"});
    ASSERT_EQ(seen.count("failed"), 0u) << seen["failed"];
    const std::string html = "200 HTTP/1.1 type=text/html; charset=utf-8 encoding=br ";
    EXPECT_EQ(seen["root"], html + kRevalidated);
    EXPECT_EQ(seen["page"], html + kRevalidated);
    EXPECT_EQ(seen["wasm"], "200 HTTP/1.1 type=application/wasm encoding=br "
                            "cache=public, max-age=31536000, immutable");
    EXPECT_EQ(seen["script"],
              std::string("200 HTTP/1.1 type=application/javascript; charset=utf-8 encoding=br ") +
                  kRevalidated);
    EXPECT_EQ(seen["mesh"],
              std::string("200 HTTP/1.1 type=text/plain; charset=utf-8 encoding=br ") +
                  kRevalidated);
    EXPECT_EQ(seen["manifest"].find("200 HTTP/1.1 type=application/manifest+json "), 0u)
        << seen["manifest"];
    EXPECT_NE(seen["worker"].find(kRevalidated), std::string::npos) << seen["worker"];
    long compressed = 0, plain = 0;
    ASSERT_EQ(sscanf(seen["bytes"].c_str(), "%ld compressed %ld plain", &compressed, &plain), 2);
    EXPECT_LT(compressed * 3, plain) << seen["bytes"];
    EXPECT_EQ(seen["root-runs"], "Crane");
}

// Installable: a manifest without errors, icons of 192 and 512 pixels and a maskable one that
// the server has, no installability error but the tests' incognito browser's, and a favicon.
TEST(WebSite, InstallableWithIconsAndFavicon) {
    auto seen = site_check({"app"});
    ASSERT_EQ(seen.count("failed"), 0u) << seen["failed"];
    EXPECT_EQ(seen["manifest-errors"], "[]");
    EXPECT_EQ(seen["manifest"],
              "Crane display=standalone icons=192x192/any,512x512/any,512x512/maskable,any/any");
    EXPECT_EQ(seen["installability"], "in-incognito");
    EXPECT_EQ(seen["favicon"], "200 image/svg+xml");
}

// After the first visit the page opens and runs offline; a new build's service worker replaces
// the cache with its own, which holds the new files.
TEST(WebSite, OpensOfflineAndANewBuildReplacesTheCache) {
    auto seen = site_check({"offline", CMAKE_PROGRAM, SITE_APP_SCRIPT, SERVICE_WORKER_TEMPLATE});
    ASSERT_EQ(seen.count("failed"), 0u) << seen["failed"];
    EXPECT_EQ(seen["first-cache"].compare(0, 6, "crane-"), 0) << seen["first-cache"];
    EXPECT_EQ(seen["offline-runs"], "true");
    EXPECT_EQ(seen["new-cache"].compare(0, 6, "crane-"), 0) << seen["new-cache"];
    EXPECT_EQ(seen["new-cache"].find(','), std::string::npos) << seen["new-cache"];
    EXPECT_NE(seen["new-cache"], seen["first-cache"]);
    EXPECT_EQ(seen["new-page-cached"], "true");
}
