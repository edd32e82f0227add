// The installer's string table: every text vxinst shows, and the names of the files and
// settings it writes, once.
#pragma once

namespace vx::text {

// Main window.
inline constexpr const char* kInstallTitle = "Velumix Version 2 - Installation";
inline constexpr const char* kInstallTitleLinux = "Velumix Version 2 - Installation for Linux";
inline constexpr const char* kInitializing = "Initializing...Please Wait...";
inline constexpr const char* kStartingSetup =
    "Starting the main Velumix installation...Please Wait...";
inline constexpr const char* kCancel = "&Cancel";
inline constexpr const char* kPictureResource = ":/velumix/installer/136.png";
inline constexpr const char* kInstallerIconResource = ":/velumix/icons/vxinst.png";

// Licence agreement.
inline constexpr const char* kLicenseTitle = "End User License Agreement";
inline constexpr const char* kAgree = "&Yes, I Agree";
inline constexpr const char* kDisagree = "&No, I Do Not Agree";
// The agreement, shown as these pieces one after the other.
inline constexpr const char* kLicensePieces[] = {
    "VELUMIX VERSION 2 END USER LICENSE AGREEMENT\n\n"
    "Please read this agreement carefully before you install Velumix. By choosing \"Yes, I "
    "Agree\" you accept its terms. If you do not accept them, choose \"No, I Do Not Agree\" "
    "and the installation ends without changing your computer.\n\n",
    "1. LICENSE. You may install and use the Velumix programs (the recorder, the player, the "
    "audio server, the administrator and this installer) on the computers you use to prepare "
    "and play music, and make copies for backup. The music you record, import or rip with "
    "Velumix stays yours; make sure you hold the rights to the recordings you store and to "
    "the performances you give with them.\n\n",
    "2. RESTRICTIONS. You may not sell, rent or lend the programs on their own, and you may "
    "not remove the notices that name their authors. The codec support file on this medium "
    "may only be used together with Velumix.\n\n",
    "3. NO WARRANTY. Velumix is provided as it is, without any warranty, express or implied, "
    "including fitness for a particular purpose. Back up your song library regularly. In no "
    "event shall the authors be liable for lost recordings, lost performances or any other "
    "damage arising from the use of the programs, even if advised of the possibility of such "
    "damage.\n\n",
    "4. GENERAL. This agreement is the whole agreement between you and the authors about "
    "Velumix. If a part of it cannot be enforced, the rest stays in force. It ends when you "
    "remove the programs and every copy of them.\n",
};

// Messages.
inline constexpr const char* kLicenseRefused =
    "Sorry, you cannot install this software unless you consent to the licensing agreement. "
    "Have a nice day.";
inline constexpr const char* kPlatformUnsupported =
    "This program can only be run under Windows 95 (or higher) or Windows NT 4.0 (or higher).";
inline constexpr const char* kSetupFailed =
    "Couldn't start main setup program. Make sure you are installing from the original "
    "Velumix CD-ROM.";

// Files on the medium, relative to the folder vxinst lies in, and in the codec folder.
inline constexpr const char* kCodecSource = "vx/vxaudiox.sys";
inline constexpr const char* kSetupProgram = "vx/setup";
inline constexpr const char* kCodecTarget = "l3codecx.acm";
inline constexpr const char* kCodecBackup = "l3codecx.bak";

// The codec's registration in the system-wide settings.
inline constexpr const char* kDriversKey = "Drivers32";
inline constexpr const char* kDriverName = "msacm.l3acm";
inline constexpr const char* kDescriptionsKey = "drivers.desc";
inline constexpr const char* kCodecDescription =
    "Fraunhofer IIS MPEG Layer-3 Codec (decode only)";

}  // namespace vx::text
