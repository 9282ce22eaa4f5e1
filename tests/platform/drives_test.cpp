#include "platform/drives.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "testapp.h"

using namespace vt;

namespace {

std::vector<std::string> points(const std::vector<Mount>& mounts) {
    std::vector<std::string> out;
    for (const Mount& m : mounts) out.push_back(m.point);
    return out;
}

// A desktop machine's table: the system disk, the pseudo file systems, two sticks, a card and
// an optical disc, and the things that are not drives beside them.
const char* const kDesktop =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "23 22 0:21 / /proc rw,nosuid shared:12 - proc proc rw\n"
    "24 22 0:22 / /run rw,nosuid shared:5 - tmpfs tmpfs rw,mode=755\n"
    "25 22 8:2 / /home rw,relatime shared:2 - ext4 /dev/sda2 rw\n"
    "60 22 8:17 / /media/ann/STICK\\040ONE rw,nosuid,nodev shared:30 - vfat /dev/sdb1 rw\n"
    "61 22 11:0 / /media/CD ro,nosuid shared:31 - iso9660 /dev/sr0 ro\n"
    "59 24 0:41 / /run/media/bob rw shared:36 - tmpfs tmpfs rw\n"
    "62 59 8:33 / /run/media/bob/CARD rw,nosuid shared:32 - exfat /dev/sdc1 rw\n"
    "63 22 179:1 / /mnt/card rw,relatime shared:33 - ext4 /dev/mmcblk0p1 rw\n"
    "64 22 8:1 /srv/old /mnt/backup rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "65 22 0:40 / /mnt/sandbox/env/v1/python ro shared:34 - tmpfs none ro\n"
    "66 60 8:49 / /media/ann/STICK\\040ONE/inner rw shared:35 - vfat /dev/sdd1 rw\n"
    "68 22 8:65 / /mediax/disk rw shared:37 - vfat /dev/sde1 rw\n"
    "69 22 8:2 /ann/films /media/films rw,relatime shared:2 - ext4 /dev/sda2 rw\n";

}  // namespace

TEST(Drives, MountTableLinesAreParsedAndTheirEscapesDecoded) {
    auto t = parsemountinfo(
        "36 35 98:0 /mnt1 /mnt/my\\040stick rw,noatime master:1 - ext3 /dev/root rw\n"
        "37 36 8:17 / /media/a\\011b\\134c\\012d rw - vfat /dev/sdb1 rw\n"
        "\n"
        "not a mount line\n"
        "38 x 8:1 / /mnt/bad rw - ext4 /dev/sda1 rw\n"
        "39 36 8:18 / /media/odd\\08 rw - vfat /dev/sdb2 rw");  // no line end at the end
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].id, 36);
    EXPECT_EQ(t[0].parent, 35);
    EXPECT_EQ(t[0].device, "98:0");
    EXPECT_EQ(t[0].point, "/mnt/my stick");
    EXPECT_EQ(t[1].point, "/media/a\tb\\c\nd");
    EXPECT_EQ(t[2].point, "/media/odd\\08");  // not three octal digits: kept as it stands
}

TEST(Drives, OnlyMountsWhereDesktopsMountMediaAreLetteredInPlaceThenPathOrder) {
    auto drives = lettered(parsemountinfo(kDesktop));
    // /media (by path: "CD" before "ann"), then /run/media, then /mnt. Not the system disk's
    // folder bound at /mnt/backup, nor a folder of the /home disk bound at /media/films, nor
    // anything deeper or shallower than the places, nor /mediax.
    EXPECT_EQ(points(drives), (std::vector<std::string>{"/media/CD", "/media/ann/STICK ONE",
                                                        "/run/media/bob/CARD", "/mnt/card"}));
    EXPECT_EQ(drives[1].id, 60);
    EXPECT_EQ(drives[1].device, "8:17");
    EXPECT_TRUE(lettered(parsemountinfo("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n")).empty());
    EXPECT_TRUE(lettered({}).empty());
}

TEST(Drives, AMountCoveredByALaterOneGetsNoLetter) {
    // A stick mounted twice at one point: only the top one is reached there. A tmpfs laid over
    // /mnt hides what was mounted under it before; what is mounted after it on top shows.
    auto drives =
        lettered(parsemountinfo("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                "40 22 8:17 / /media/STICK rw - vfat /dev/sdb1 rw\n"
                                "41 22 8:33 / /mnt/old rw - vfat /dev/sdc1 rw\n"
                                "50 40 8:18 / /media/STICK rw - vfat /dev/sdb2 rw\n"
                                "51 22 0:50 / /mnt rw - tmpfs none rw\n"
                                "52 51 0:51 / /mnt/new rw - tmpfs stick rw\n"
                                "53 22 8:49 / /media/STICKS rw - vfat /dev/sdd1 rw\n"));
    EXPECT_EQ(points(drives),
              (std::vector<std::string>{"/media/STICK", "/media/STICKS", "/mnt/new"}));
    EXPECT_EQ(drives[0].id, 50);
}

TEST(Drives, AFolderSetInTheEnvironmentIsStampedAsThatFolder) {
    test::TempFolder base;
    std::filesystem::create_directory(base.file("stick"));
    setenv("VANTROPE_DRIVE_R", base.file("stick").c_str(), 1);
    auto stamp = drivestamp('r');
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->letter, 'R');
    EXPECT_EQ(stamp->root, base.file("stick"));
    EXPECT_EQ(driveroot('R'), base.file("stick"));
    EXPECT_TRUE(samedrive(*stamp));
    // Another folder put in its place is not the same drive; a folder gone is none.
    std::filesystem::rename(base.file("stick"), base.file("old"));
    std::filesystem::create_directory(base.file("stick"));
    EXPECT_FALSE(samedrive(*stamp));
    std::filesystem::remove(base.file("stick"));
    EXPECT_FALSE(drivestamp('R'));
    unsetenv("VANTROPE_DRIVE_R");
    // The machine's own disk and letters before it carry nothing.
    EXPECT_FALSE(drivestamp('C'));
    EXPECT_FALSE(drivestamp('A'));
    EXPECT_FALSE(drivestamp('1'));
}
