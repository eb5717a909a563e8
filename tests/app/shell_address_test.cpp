#include "app/shell_address.h"

#include <gtest/gtest.h>

namespace sw {
namespace {

TEST(ShellAddresses, WebAndMailAddressesAreHandedOn) {
    // Would break: the home-page or e-mail link of the about box doing nothing.
    EXPECT_TRUE(IsOpenableAddress("https://slicewell.example.org/"));
    EXPECT_TRUE(IsOpenableAddress("http://slicewell.example.org:8080/a/b?c=d#e"));
    EXPECT_TRUE(IsOpenableAddress("HTTPS://Slicewell.Example.org"));
    EXPECT_TRUE(IsOpenableAddress("mailto:support@slicewell.example.org"));
}

TEST(ShellAddresses, OtherSchemesAndDisguisedAddressesAreRefused) {
    // Would break: a settings value edited to a local file or command opened by the desktop.
    for (const char* address :
         {"", "file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "ftp://example.org/",
          "https://", "https:///path", "https://user@evil.example/", "https://a b.example/",
          "https://example.org/\"x", "https://example.org/\n", "https://-bad.example/",
          "https://example..org/", "mailto:", "mailto:a@b?cc=c@d", "mailto:a@b,c@d",
          "mailto:Name <a@b>", "smb://host/share"}) {
        EXPECT_FALSE(IsOpenableAddress(address)) << address;
    }
}

TEST(ShellAddresses, OnlyPlainEmailAddressesBecomeMailLinks) {
    // Would break: an "Email" setting that adds recipients or headers to the mail it opens.
    EXPECT_EQ(MailtoAddress("support@slicewell.example.org"),
              "mailto:support@slicewell.example.org");
    EXPECT_EQ(MailtoAddress("first.last+cut@localhost"), "mailto:first.last+cut@localhost");
    for (const char* email :
         {"", "nobody", "a@b@c", "@example.org", "a@", ".a@example.org", "a.@example.org",
          "a..b@example.org", "a@b?subject=x", "a@b&c", "Name <a@example.org>", "a b@example.org",
          "a@exa mple.org", "a%40b@example.org", "a/b@example.org", "mailto:a@b"}) {
        EXPECT_EQ(MailtoAddress(email), "") << email;
    }
}

}  // namespace
}  // namespace sw
