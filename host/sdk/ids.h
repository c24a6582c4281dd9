// Numeric identifiers of the host's interfaces, object classes, commands and
// text attributes. Plug-ins and the host refer to everything by these numbers;
// a value's role is fixed by the interface declared for it in the headers
// beside this one. The 0xA0xx block holds identifiers the host uses for its
// own framework interfaces.
#pragma once

#include "host/sdk/types.h"

// The universal interface every object answers: the object itself.
constexpr PMIID IID_IUNKNOWN = 0x0;

// Page items and their parts.
constexpr PMIID IID_IHIERARCHY = 0x2c04;
constexpr PMIID IID_IGEOMETRY = 0x16c8;
constexpr PMIID IID_ILABELDATA = 0x7703;
constexpr PMIID IID_ITEXTCONTENT = 0x16cd;
constexpr PMIID IID_ISTORYREF = 0xca12;
constexpr PMIID IID_IGRAPHICATTRIBUTES = 0x6e02;
constexpr PMIID IID_ILAYER = 0x303;
constexpr PMIID IID_ITRANSFORM = 0x16ca;
constexpr PMIID IID_IPAGEITEMNAME = 0x7706;

// Documents, text, swatches, fonts, links.
constexpr PMIID IID_ITEXTMODEL = 0x233;
constexpr PMIID IID_ICOLORDATA = 0x1f01;
constexpr PMIID IID_IDOCUMENT = 0xe02;
constexpr PMIID IID_IFONTFAMILY = 0x3e03;
constexpr PMIID IID_IFONTMANAGER = 0x3e01;
constexpr PMIID IID_IDOCFONTLIST = 0x3e04;
constexpr PMIID IID_ILINKMANAGER = 0x8c41;
constexpr PMIID IID_ILINK = 0x8c3c;
constexpr PMIID IID_ISHORTCUTMANAGER = 0xd203;

// Text attribute values.
constexpr PMIID IID_ITEXTATTRUID = 0x1b01;
constexpr PMIID IID_ITEXTATTRREAL = 0x1b06;
constexpr PMIID IID_ITEXTATTRFONTSTYLE = 0x1b0d;

// Command data.
constexpr PMIID IID_IPLACEDATA = 0x2c02;
constexpr PMIID IID_IIMPORTDATA = 0x7307;

// Selection architecture.
constexpr PMIID IID_IINTEGRATORTARGET = 0x19e;
constexpr PMIID IID_ILAYOUTTARGET = 0x17f;
constexpr PMIID IID_ITEXTTARGET = 0x27e;
constexpr PMIID IID_ILAYOUTSELECTIONSUITE = 0x180;

// Utility interfaces (reached through Utils<T>).
constexpr PMIID IID_ISELECTIONUTILS = 0x16103;
constexpr PMIID IID_ICOLORUTILS = 0x16107;
constexpr PMIID IID_ISWATCHUTILS = 0x16108;
constexpr PMIID IID_IFILEURIUTILS = 0x16204;
constexpr PMIID IID_IFITFRAMEUTILS = 0x2c56;
constexpr PMIID IID_IBOUNDSUTILS = 0x2c5a;
constexpr PMIID IID_IGRAPHICATTRIBUTEUTILS = 0x16d9;
constexpr PMIID IID_ILINKUTILS = 0x8c57;
constexpr PMIID IID_IFRAMECONTENTUTILS = 0xca16;
constexpr PMIID IID_IUNDOUTILS = 0x16422;

// The host's own framework interfaces.
constexpr PMIID IID_IPERSISTUIDDATA = 0xa001;
constexpr PMIID IID_ICOMMAND = 0xa002;
constexpr PMIID IID_ICOMMANDSEQUENCE = 0xa003;
constexpr PMIID IID_ISWATCH = 0xa004;
constexpr PMIID IID_IDATABASE = 0xa005;
constexpr PMIID IID_IFRAMELIST = 0xa006;
constexpr PMIID IID_ISELECTIONMANAGER = 0xa007;
constexpr PMIID IID_ISELECTIONEXTENSION = 0xa008;
constexpr PMIID IID_ISTARTUPSHUTDOWN = 0xa009;
constexpr PMIID IID_IIDLETASK = 0xa00a;
constexpr PMIID IID_IACTIONCOMPONENT = 0xa00b;
constexpr PMIID IID_ISESSION = 0xa00c;
constexpr PMIID IID_IAPPLICATION = 0xa00d;
constexpr PMIID IID_IPMFONT = 0xa00e;
constexpr PMIID IID_ILAYOUTUTILS = 0xa00f;
constexpr PMIID IID_IUNDOMANAGER = 0xa010;
constexpr PMIID IID_IPLUGINRESOURCEACCESS = 0xa011;

// Command classes.
constexpr ClassID kDeleteCmdBoss = 0xf03;
constexpr ClassID kImportAndPlaceCmdBoss = 0x7312;
constexpr ClassID kSetBoundsCmdBoss = 0xa101;
constexpr ClassID kFitFrameToContentCmdBoss = 0xa102;
constexpr ClassID kApplyFillCmdBoss = 0xa103;
constexpr ClassID kMakeTextFrameCmdBoss = 0xa104;
constexpr ClassID kInsertTextCmdBoss = 0xa105;
constexpr ClassID kApplyTextAttrCmdBoss = 0xa106;
constexpr ClassID kSetLabelCmdBoss = 0xa107;
constexpr ClassID kEmbedLinkCmdBoss = 0xa108;
constexpr ClassID kSetTransformCmdBoss = 0xa109;
constexpr ClassID kSetNameCmdBoss = 0xa10a;

// Character attribute classes and the strand they live in.
constexpr ClassID kTextAttrColorBoss = 0x1b01;
constexpr ClassID kTextAttrFontStyleBoss = 0x1b02;
constexpr ClassID kTextAttrPointSizeBoss = 0x1b03;
constexpr ClassID kTextAttrFontUIDBoss = 0x1b2b;
constexpr ClassID kCharAttrStrandBoss = 0x235;

// Colour-space codes of swatch colour data.
constexpr int32 kPMCsCalRGB = 5;
constexpr int32 kPMCsCalCMYK = 6;
constexpr int32 kPMCsLab = 7;
