// Resource identifiers of duskshell.exe, shared by the resource script and the code.
#pragma once

// Skin pictures, resource type "PNG". Strips hold equal frames: normal, hover, pressed.
#define IDB_LINK_FORUM        131  // 85x50, 2 frames stacked: 游戏论坛
#define IDB_BOSSKEY_DIALOG    132  // 355x169, boss-key dialog background
#define IDB_LINK_TOPUP        133  // 85x50, 2 frames stacked: 充值中心
#define IDB_CLEAR_CACHE       134  // 75x44, 2 frames stacked: 清除缓存
#define IDB_CLEANING          135  // 75x44, 2 frames stacked: 正在清理
#define IDB_GAME_CLOSE        136  // 75x25, 3 frames side by side
#define IDB_BOSSKEY_CLOSE     137  // 11x33, 3 frames stacked
#define IDB_LOGIN_CLOSE       138  // 31x93, 3 frames stacked
#define IDB_LINK_SERVICE      139  // 85x50, 2 frames stacked: 客服中心
#define IDB_BOSSKEY_BUTTON    140  // 65x44, 2 frames stacked: 老板键
#define IDB_BIND_BUTTON       142  // 136x198, 9 animation frames stacked: 试玩账号 点击激活
#define IDB_GAME_BACKGROUND   143  // 800x500, rows 0-39 the tool-bar band
#define IDB_VIP_ICON          144  // 39x47
#define IDB_VIP_TITLE         145  // 818x47, blue title band
#define IDB_VIP_CLOSE         146  // 40x60, 3 frames stacked
#define IDB_GAME_LOGO         147  // 48x29
#define IDB_LOGIN_SKIN        149  // 1190x700, the login frame's size
#define IDB_GAME_MAXIMIZE     150  // 75x25, 3 frames side by side
#define IDB_GAME_MINIMIZE     151  // 75x25, 3 frames side by side
#define IDB_LOGIN_MINIMIZE    152  // 24x72, 3 frames stacked
#define IDB_LINK_OFFICIAL     153  // 85x50, 2 frames stacked: 官方网站
#define IDB_SERVER_BUTTON     154  // 65x44, 2 frames stacked: 选服
#define IDB_PAY_BUTTON        155  // 75x44, 2 frames stacked: 扫码支付
#define IDB_BOSSKEY_OK        156  // 60x42, 2 frames stacked: 确定
#define IDB_GAME_RESTORE      157  // 75x25, 3 frames side by side
#define IDB_SPINNER           158  // 128x16, 8 frames side by side
#define IDB_VIP_DIM           159  // 75x22, VIP客服 dimmer
#define IDB_VIP_BRIGHT        160  // 75x22, VIP客服 brighter (the one normally drawn)

#define IDI_APP               148  // icon group: 16, 32 and 48 px, 32 bits
#define IDR_TRAY_MENU         161
#define ID_TRAY_EXIT          32772

#define IDD_WEB_DIALOG        102
#define IDD_BOSSKEY           129
