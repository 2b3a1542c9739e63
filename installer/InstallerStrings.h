// Identifiers of the installer's own messages in its string table.
#pragma once

#define SNotInstallableDrive 65312
#define SDriveNotReady 65313
#define SCreateFolderQuestion 65314
#define SCreateFolderFailed 65315
#define SInstallationTitle 65316
#define SFolderWillBeMade 65317
#define SCantLoadUnlha 65318
#define SUnlhaIllegal 65319
#define SInsertDisk 65320
#define SInstallationDone 65321
#define SInstallationStopped 65322
#define SProjectNameRefused 65323
#define SGameTitleRefused 65324
#define SPathTooLong 65325
