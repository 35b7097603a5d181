#!/usr/bin/env python3
"""Regenerates every skin picture and icon of both programs.

    python3 tools/make_art.py [output folder] [--preview folder]     (default: resources/)

--preview also writes pictures of the login frame (normal and hover looks) and of a game window
composed as the programs compose them, to look at.

Needs Debian's imagemagick, fonts-wqy-zenhei and fonts-dejavu-core. The output is deterministic:
the only scattered detail (stars) comes from a fixed seed, and no time stamps are written.

Pictures that worker threads draw straight onto a window without repainting what lies beneath
(the bind button, the cleaning spinner, the VIP button, the login frame's buttons) are fully
opaque, with the background they sit on baked in: drawing them again over themselves must not
build up their soft edges.
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile

CONVERT = "/usr/bin/convert-im6.q16"
CJK = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"
SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ARGS = [a for i, a in enumerate(sys.argv[1:], 1) if a != "--preview" and sys.argv[i - 1] != "--preview"]
OUT = os.path.abspath(ARGS[0]) if ARGS else os.path.join(ROOT, "resources")
CLIENT = os.path.join(OUT, "client", "art")
INSTALLER = os.path.join(OUT, "installer", "art")
TMP = tempfile.mkdtemp(prefix="dusk-art-")

# Dusk palette.
INK = "#120d1f"
NIGHT = "#1b1530"
PLUM = "#3a2345"
EMBER = "#d0673a"
GOLD = "#e2b866"
GOLD_DARK = "#8f6a30"
PALE = "#f2e4c4"

# The tool-bar band of the game window (rows 0-39 of 143); buttons bake these rows in.
BAND_TOP = "#33264a"
BAND_BOTTOM = "#1c1530"


def im(*args):
    subprocess.run([CONVERT, "-density", "72", *map(str, args)], check=True)


def tmp(name):
    return os.path.join(TMP, name)


def finish(src, dest):
    """Writes src as 32-bit RGBA PNG without time stamps; fully transparent pixels become 0,0,0,0."""
    w, h = size_of(src)
    raw = bytearray(subprocess.run([CONVERT, src, "-depth", "8", "rgba:-"], check=True,
                                   capture_output=True).stdout)
    for i in range(3, len(raw), 4):
        if raw[i] == 0:
            raw[i - 3:i] = b"\0\0\0"
    os.makedirs(os.path.dirname(dest), exist_ok=True)
    subprocess.run([CONVERT, "-size", f"{w}x{h}", "-depth", "8", "rgba:-", "-strip",
                    "-define", "png:exclude-chunks=date,time", "PNG32:" + dest],
                   input=bytes(raw), check=True)


def size_of(path):
    out = subprocess.run(["/usr/bin/identify-im6.q16", "-format", "%w %h", path + "[0]"],
                         check=True, capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


def band(path, w, top, height):
    """Rows top..top+height of the game window's tool-bar band, w pixels wide."""
    im("-size", "1x40", f"gradient:{BAND_TOP}-{BAND_BOTTOM}",
       "-fill", "#54426e", "-draw", "point 0,0", "-fill", GOLD_DARK, "-draw", "point 0,39",
       "-crop", f"1x{height}+0+{top}", "+repage", "-scale", f"{w}x{height}!", path)


def strip(frames, dest, vertical=True):
    im(*frames, "-append" if vertical else "+append", tmp("strip.png"))
    finish(tmp("strip.png"), dest)


def label_plate(base, dest, w, h, text, fill_top, fill_bottom, border, ink, size=12,
                dx=0, dy=0, extra=()):
    """A rounded button plate with a centred label, drawn over the picture base."""
    im("-size", f"{w}x{h}", f"gradient:{fill_top}-{fill_bottom}", tmp("grad.png"))
    im("-size", f"{w}x{h}", "xc:black", "-fill", "white",
       "-draw", f"roundrectangle 0,0 {w - 1},{h - 1} 4,4", tmp("mask.png"))
    im(tmp("grad.png"), tmp("mask.png"), "-alpha", "off", "-compose", "CopyOpacity", "-composite",
       tmp("plate.png"))
    im(base, tmp("plate.png"), "-compose", "over", "-composite",
       "-fill", "none", "-stroke", border, "-strokewidth", "1",
       "-draw", f"roundrectangle 0.5,0.5 {w - 1.5},{h - 1.5} 4,4", *extra,
       "-stroke", "none", "-font", CJK, "-pointsize", size, "-fill", ink, "-gravity", "center",
       "-annotate", f"+{dx}+{dy}", text, dest)


# ---------------------------------------------------------------- login frame (149 and its buttons)

def login_skin():
    w, h = 1190, 700
    px0, py0, px1, py1 = 361, 60, 1125, 614      # main panel (centre line x 743, as the web area)
    bx0, bx1 = 168, 400                          # hanging banner on the left
    # Silhouette of everything opaque, for the shadow.
    shape = ["-draw", f"roundrectangle {px0},{py0} {px1},{py1} 18,18",
             "-draw", f"polygon {bx0},34 {bx1},34 {bx1},560 {(bx0 + bx1) // 2},636 {bx0},560",
             "-draw", f"roundrectangle {bx0 - 22},22 {bx1 + 22},40 8,8",
             "-draw", "roundrectangle 130,505 438,575 10,10"]
    im("-size", f"{w}x{h}", "xc:none", "-fill", "black", *shape, "-channel", "A",
       "-evaluate", "multiply", "0.55", "+channel", "-blur", "0x9", "-geometry", "+0+5",
       tmp("shadow.png"))
    im("-size", f"{w}x{h}", "xc:none", tmp("shadow.png"), "-geometry", "+0+6", "-composite",
       tmp("skin.png"))

    # Main panel: night sky to an ember horizon, mountains, stars.
    pw, ph = px1 - px0 + 1, py1 - py0 + 1
    im("-size", f"{pw}x{ph}", f"gradient:{INK}-{PLUM}", tmp("sky.png"))
    # Ember glow: an ellipse whose centre sits on the horizon behind the mountains.
    im("-size", f"{pw + 200}x420", "-define", f"gradient:radii={pw // 2 + 100},210",
       "radial-gradient:#e8743cd8-#e0743c00", tmp("glow.png"))
    rnd = random.Random(2052)
    stars = []
    for _ in range(140):
        x, y = rnd.randrange(0, pw), rnd.randrange(0, ph // 2)
        a = rnd.choice(["#ffffff60", "#ffffff90", "#fff2d0c0", "#ffffffe0"])
        r = rnd.choice([0.6, 0.8, 1.0, 1.3])
        stars += ["-fill", a, "-draw", f"circle {x},{y} {x + r},{y}"]
    mountains_far = " ".join(f"{x},{y}" for x, y in [
        (0, ph), (0, ph - 150), (80, ph - 190), (170, ph - 150), (260, ph - 215), (340, ph - 160),
        (430, ph - 200), (520, ph - 140), (610, ph - 205), (700, ph - 170), (pw, ph - 185),
        (pw, ph)])
    mountains_near = " ".join(f"{x},{y}" for x, y in [
        (0, ph), (0, ph - 90), (120, ph - 120), (230, ph - 80), (330, ph - 130), (450, ph - 85),
        (560, ph - 115), (650, ph - 75), (pw, ph - 110), (pw, ph)])
    im(tmp("sky.png"), tmp("glow.png"), "-geometry", f"-100+{ph - 150 - 210}", "-composite",
       *stars,
       "-fill", "#2a1a33", "-draw", f"polygon {mountains_far}",
       "-fill", "#160f20", "-draw", f"polygon {mountains_near}",
       tmp("panel-fill.png"))
    im("-size", f"{pw}x{ph}", "xc:black", "-fill", "white",
       "-draw", f"roundrectangle 0,0 {pw - 1},{ph - 1} 18,18", tmp("panel-mask.png"))
    im(tmp("panel-fill.png"), tmp("panel-mask.png"), "-alpha", "off", "-compose", "CopyOpacity",
       "-composite", tmp("panel.png"))
    im(tmp("skin.png"), tmp("panel.png"), "-geometry", f"+{px0}+{py0}", "-composite",
       "-fill", "none", "-stroke", GOLD_DARK, "-strokewidth", "3",
       "-draw", f"roundrectangle {px0 + 1.5},{py0 + 1.5} {px1 - 1.5},{py1 - 1.5} 17,17",
       "-stroke", "#e2b86660", "-strokewidth", "1",
       "-draw", f"roundrectangle {px0 + 6.5},{py0 + 6.5} {px1 - 6.5},{py1 - 6.5} 13,13",
       tmp("skin.png"))

    # Link bar across the top of the panel, a crest in the gap between the link pairs.
    im(tmp("skin.png"),
       "-fill", "#0e0a18c0", "-stroke", "none", "-draw", "rectangle 455,96 1030,135",
       "-stroke", GOLD_DARK, "-strokewidth", "1", "-draw", "line 455,95.5 1030,95.5",
       "-draw", "line 455,135.5 1030,135.5",
       "-stroke", "#e2b86680", "-draw", "line 470,97.5 1015,97.5",
       "-draw", "line 470,133.5 1015,133.5",
       "-stroke", "none", "-fill", GOLD, "-draw", "polygon 455,115.5 461,110 467,115.5 461,121",
       "-draw", "polygon 1018,115.5 1024,110 1030,115.5 1024,121",
       tmp("skin.png"))
    crest(tmp("crest-small.png"), 64)
    im(tmp("skin.png"), tmp("crest-small.png"), "-geometry", "+711+83", "-composite",
       tmp("skin.png"))

    # The web area: a gilt frame around a pale page that says it is connecting.
    im(tmp("skin.png"),
       "-fill", "#0a0712", "-draw", "rectangle 437,145 1048,530",
       "-fill", GOLD_DARK, "-draw", "rectangle 439,147 1046,528",
       "-fill", GOLD, "-draw", "rectangle 441,149 1044,526",
       "-fill", "#5a4420", "-draw", "rectangle 443,151 1042,524",
       "-size", "596x370", f"gradient:#f7f2e8-#e9e1d2", "-geometry", "+445+153", "-composite",
       "-fill", "#cfc4ae", "-draw", "rectangle 445,153 1040,153",
       "-draw", "rectangle 445,153 445,522",
       "-font", CJK, "-pointsize", "16", "-fill", "#7a6a58", "-gravity", "northwest",
       "-annotate", "+663+327", "正在连接服务器，请稍候…",
       tmp("skin.png"))
    # Footer: the customary advisory for players, and the maker.
    advice1 = "抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。"
    advice2 = "适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。"
    im(tmp("skin.png"), "-font", CJK, "-pointsize", "12", "-fill", "#d9c9a6", "-gravity", "north",
       "-annotate", f"+{743 - w // 2}+545", "健康游戏忠告",
       "-fill", "#b9a88a", "-annotate", f"+{743 - w // 2}+563", advice1,
       "-annotate", f"+{743 - w // 2}+579", advice2,
       "-font", SANS_BOLD, "-pointsize", "10", "-fill", "#8d7c66",
       "-annotate", f"+{743 - w // 2}+596", "© Halvergate  ·  KorvaneDuskreign 3.5.3.705",
       tmp("skin.png"))

    # Banner: hanging rod, crimson cloth with gilt edge, crest, vertical title, name plate.
    cx = (bx0 + bx1) // 2
    im("-size", f"{w}x{h}", "xc:black", "-fill", "white",
       "-draw", f"polygon {bx0},34 {bx1},34 {bx1},560 {cx},636 {bx0},560", tmp("banner-mask.png"))
    im("-size", f"{w}x{h}", "gradient:#6e1f2c-#2a0f1e", tmp("banner-fill.png"))
    im(tmp("banner-fill.png"), tmp("banner-mask.png"), "-alpha", "off", "-compose",
       "CopyOpacity", "-composite", tmp("banner.png"))
    im(tmp("skin.png"), tmp("banner.png"), "-composite",
       "-fill", "none", "-stroke", GOLD, "-strokewidth", "3",
       "-draw", f"polygon {bx0 + 8},40 {bx1 - 8},40 {bx1 - 8},555 {cx},626 {bx0 + 8},555",
       "-stroke", "#e2b86670", "-strokewidth", "1",
       "-draw", f"polygon {bx0 + 14},46 {bx1 - 14},46 {bx1 - 14},551 {cx},618 {bx0 + 14},551",
       "-stroke", GOLD_DARK, "-strokewidth", "1", "-fill", "#c99a4a",
       "-draw", f"roundrectangle {bx0 - 22},22 {bx1 + 22},40 8,8",
       "-fill", GOLD, "-stroke", GOLD_DARK,
       "-draw", f"circle {bx0 - 14},31 {bx0 - 6},31", "-draw", f"circle {bx1 + 14},31 {bx1 + 6},31",
       tmp("skin.png"))
    crest(tmp("crest-big.png"), 132)
    im(tmp("skin.png"), tmp("crest-big.png"), "-geometry", f"+{cx - 66}+62", "-composite",
       tmp("skin.png"))
    title = ["-font", CJK, "-pointsize", "66", "-gravity", "north"]
    for i, ch in enumerate("暮色王权"):
        y = 206 + i * 74
        title += ["-fill", "#00000080", "-annotate", f"+{cx - w // 2 + 3}+{y + 3}", ch,
                  "-fill", "#f6dc9c", "-annotate", f"+{cx - w // 2}+{y}", ch]
    im(tmp("skin.png"), *title, tmp("skin.png"))
    im("-size", "310x70", "xc:none", "-fill", "#1a1020", "-stroke", GOLD, "-strokewidth", "2",
       "-draw", "roundrectangle 1,1 308,68 10,10",
       "-stroke", "#e2b86670", "-strokewidth", "1", "-fill", "none",
       "-draw", "roundrectangle 6.5,6.5 303.5,63.5 7,7",
       "-stroke", "none", "-font", SERIF_BOLD, "-pointsize", "34", "-gravity", "center",
       "-fill", "#00000090", "-annotate", "+2+1", "DUSKREIGN",
       "-fill", GOLD, "-annotate", "+0-1", "DUSKREIGN", tmp("plate.png"))
    im(tmp("skin.png"), tmp("plate.png"), "-geometry", "+129+505", "-composite", tmp("skin.png"))
    finish(tmp("skin.png"), os.path.join(CLIENT, "149.png"))
    return os.path.join(CLIENT, "149.png")


def crest(dest, size):
    """A round crest: gilt rings around a setting sun over two peaks."""
    s = size
    c = s / 2
    r = s / 2 - 2
    sun_y = c + r * 0.12
    far = " ".join(f"{c + dx * r},{c + dy * r}" for dx, dy in [
        (-0.9, 0.5), (-0.45, 0.12), (-0.15, 0.36), (0.35, 0.02), (0.9, 0.5), (0.9, 0.9),
        (-0.9, 0.9)])
    near = " ".join(f"{c + dx * r},{c + dy * r}" for dx, dy in [
        (-0.9, 0.62), (-0.25, 0.4), (0.2, 0.55), (0.55, 0.38), (0.9, 0.6), (0.9, 0.9),
        (-0.9, 0.9)])
    im("-size", f"{s}x{s}", "xc:none",
       "-fill", "#00000070", "-draw", f"circle {c},{c + 2} {c},{c + 2 - r - 1}",
       "-fill", GOLD_DARK, "-draw", f"circle {c},{c} {c},{c - r}",
       "-fill", GOLD, "-draw", f"circle {c},{c} {c},{c - r * 0.93}",
       "-fill", "#2a1830", "-draw", f"circle {c},{c} {c},{c - r * 0.8}",
       "-fill", "#7a3048", "-draw", f"circle {c},{sun_y} {c},{sun_y - r * 0.56}",
       "-fill", EMBER, "-draw", f"circle {c},{sun_y} {c},{sun_y - r * 0.44}",
       "-fill", "#f6c46a", "-draw", f"circle {c},{sun_y} {c},{sun_y - r * 0.3}",
       "-fill", "#4a2c50", "-draw", f"polygon {far}",
       "-fill", "#140c1a", "-draw", f"polygon {near}",
       "-fill", "none", "-stroke", "#f6dc9c", "-strokewidth", max(1, s / 60),
       "-draw", f"circle {c},{c} {c},{c - r * 0.8}",
       tmp("crest-raw.png"))
    # Keep the peaks inside the inner disc.
    im("-size", f"{s}x{s}", "xc:black", "-fill", "white",
       "-draw", f"circle {c},{c} {c},{c - r - 1}", tmp("crest-mask.png"))
    im(tmp("crest-raw.png"), "(", tmp("crest-raw.png"), "-alpha", "extract", tmp("crest-mask.png"),
       "-compose", "multiply", "-composite", ")", "-alpha", "off", "-compose", "CopyOpacity",
       "-composite", dest)


def login_buttons(skin):
    # Link labels: the bar behind them is baked in, the hover frame lights up with an underline.
    links = {131: ("游戏论坛", 922), 133: ("充值中心", 586), 139: ("客服中心", 814),
             153: ("官方网站", 478)}
    for rid, (text, x) in links.items():
        im(skin, "-crop", f"85x25+{x}+103", "+repage", tmp("bg.png"))
        im(tmp("bg.png"), "-font", CJK, "-pointsize", "14", "-fill", "#dcc796", "-gravity", "center",
           "-annotate", "+0+0", text, tmp("f0.png"))
        im(tmp("bg.png"), "-fill", "#ffd78a30", "-draw", "roundrectangle 2,1 82,23 5,5",
           "-fill", "#ffcf7a", "-draw", "rectangle 14,22 70,23",
           "-font", CJK, "-pointsize", "14", "-fill", "#ff9a5a60", "-gravity", "center",
           "-annotate", "+0+1", text, "-fill", "#fff6dc", "-annotate", "+0+0", text,
           tmp("f1.png"))
        strip([tmp("f0.png"), tmp("f1.png")], os.path.join(CLIENT, f"{rid}.png"))

    # Close (138, 31 px) and minimise (152, 24 px): round buttons, three states stacked.
    for rid, x, y, s, glyph in [(138, 1071, 127, 31, "close"), (152, 1053, 98, 24, "min")]:
        im(skin, "-crop", f"{s}x{s}+{x}+{y}", "+repage", tmp("bg.png"))
        frames = []
        for state, (fill, ring, ink, off) in enumerate([
                ("#1c1428", GOLD_DARK, "#e8d3a4", 0), ("#b8452a", "#ffd28a", "#ffffff", 0),
                ("#7a2a1c", GOLD_DARK, "#f0d0c0", 1)]):
            c = (s - 1) / 2
            r = s / 2 - 1.5
            m = s * 0.3
            if glyph == "close":
                g = ["-draw", f"line {m + off},{m + off} {s - 1 - m + off},{s - 1 - m + off}",
                     "-draw", f"line {s - 1 - m + off},{m + off} {m + off},{s - 1 - m + off}"]
            else:
                g = ["-draw", f"line {m + off},{c + 3 + off} {s - 1 - m + off},{c + 3 + off}"]
            im(tmp("bg.png"), "-fill", fill, "-stroke", ring, "-strokewidth", "1.5",
               "-draw", f"circle {c + off},{c + off} {c + off},{c + off - r}",
               "-stroke", ink, "-strokewidth", "2.2" if s > 28 else "2", "-fill", "none", *g,
               tmp(f"f{state}.png"))
            frames.append(tmp(f"f{state}.png"))
        strip(frames, os.path.join(CLIENT, f"{rid}.png"))


# ---------------------------------------------------------------- game window (143 and tool bar)

def game_window():
    band(tmp("band.png"), 800, 0, 40)
    im(tmp("band.png"), "(", "-size", "800x460", f"xc:{BAND_BOTTOM}", ")", "-append",
       "-fill", "#2a2040", "-draw", "rectangle 0,40 800,40", tmp("bg143.png"))
    finish(tmp("bg143.png"), os.path.join(CLIENT, "143.png"))

    # Logo (147, drawn at 10,5 on the band; may be blended, so it keeps soft edges).
    crest(tmp("logo-crest.png"), 29)
    im("-size", "48x29", "xc:none", tmp("logo-crest.png"), "-geometry", "+0+0", "-composite",
       "-font", SERIF_BOLD, "-pointsize", "10", "-fill", GOLD, "-gravity", "northwest",
       "-annotate", "+31+2", "DR", "-font", CJK, "-pointsize", "9", "-fill", PALE,
       "-annotate", "+30+15", "暮色", tmp("logo.png"))
    finish(tmp("logo.png"), os.path.join(CLIENT, "147.png"))

    # Tool-bar buttons sit at rows 9..30 of the band: that strip of band is their background.
    band(tmp("row9.png"), 200, 9, 22)
    normal = ("#4a3560", "#2e2140", "#8f6a30", "#eadbb8")
    hover = ("#a8552e", "#6e2f22", "#ffd28a", "#ffffff")
    for rid, w, text in [(134, 75, "清除缓存"), (140, 65, "老板键"), (154, 65, "选服"),
                         (155, 75, "扫码支付")]:
        im(tmp("row9.png"), "-crop", f"{w}x22+0+0", "+repage", tmp("bg.png"))
        frames = []
        for state, (top, bottom, border, ink) in enumerate([normal, hover]):
            extra = ()
            dx = 0
            if rid == 155:   # a small code square before the label
                extra = ("-stroke", "none", "-fill", ink, "-draw", "rectangle 6,6 15,15",
                         "-fill", top, "-draw", "rectangle 8,8 13,13",
                         "-fill", ink, "-draw", "rectangle 10,10 11,11")
                dx = 5
            label_plate(tmp("bg.png"), tmp(f"f{state}.png"), w, 22, text, top, bottom, border, ink,
                        dx=dx, extra=extra)
            frames.append(tmp(f"f{state}.png"))
        strip(frames, os.path.join(CLIENT, f"{rid}.png"))

    # 135 "cleaning": a dark square well at 4..19 (both frames alike) holds the spinner (158).
    well = "#150f22"
    im(tmp("row9.png"), "-crop", "75x22+0+0", "+repage", tmp("bg.png"))
    frames = []
    for state, (top, bottom, border, ink) in enumerate([normal, hover]):
        label_plate(tmp("bg.png"), tmp(f"f{state}.png"), 75, 22, "正在清理", top, bottom, border,
                    ink, dx=9, extra=("-stroke", "none", "-fill", well,
                                      "-draw", "rectangle 4,4 19,19"))
        frames.append(tmp(f"f{state}.png"))
    strip(frames, os.path.join(CLIENT, "135.png"))

    # 158: eight opaque 16x16 frames of a ring of dots whose bright head turns clockwise.
    frames = []
    import math
    for k in range(8):
        cmd = ["-size", "16x16", f"xc:{well}"]
        for j in range(8):
            age = (k - j) % 8      # 0 = head
            a = 2 * math.pi * j / 8 - math.pi / 2
            x, y = 7.5 + 5.2 * math.cos(a), 7.5 + 5.2 * math.sin(a)
            shade = ["#ffd690", "#e8a860", "#b8804a", "#7a5a3c", "#4e3a34", "#3a2c30", "#3a2c30",
                     "#3a2c30"][age]
            rad = [1.9, 1.7, 1.5, 1.3, 1.2, 1.1, 1.1, 1.1][age]
            cmd += ["-fill", shade, "-draw", f"circle {x:.2f},{y:.2f} {x + rad:.2f},{y:.2f}"]
        im(*cmd, tmp(f"s{k}.png"))
        frames.append(tmp(f"s{k}.png"))
    strip(frames, os.path.join(CLIENT, "158.png"), vertical=False)

    # VIP customer service: 160 the bright look that is normally drawn, 159 a dimmer one.
    im(tmp("row9.png"), "-crop", "75x22+0+0", "+repage", tmp("bg.png"))
    label_plate(tmp("bg.png"), tmp("vip.png"), 75, 22, "VIP客服", "#f3cf7a", "#b8832e", "#fff0c0",
                "#3a1c08")
    finish(tmp("vip.png"), os.path.join(CLIENT, "160.png"))
    label_plate(tmp("bg.png"), tmp("vipdim.png"), 75, 22, "VIP客服", "#8c7446", "#5e4a2a",
                "#a8905a", "#e0d0b0")
    finish(tmp("vipdim.png"), os.path.join(CLIENT, "159.png"))

    # 142: "trial account, click to activate", nine frames of a light sweeping across.
    im(tmp("row9.png"), "-crop", "136x22+0+0", "+repage", tmp("bg.png"))
    frames = []
    for k in range(9):
        x = 4 + k * 15
        glow = ("-stroke", "none", "-fill", "#ffffff38",
                "-draw", f"polygon {x},1 {x + 16},1 {x + 8},21 {x - 8},21",
                "-fill", "#ffffff20", "-draw", f"polygon {x + 18},1 {x + 24},1 {x + 16},21 {x + 10},21")
        pulse = ["#e0603a", "#e46a3c", "#e8743e", "#ec7e40", "#f08842", "#ec7e40", "#e8743e",
                 "#e46a3c", "#e0603a"][k]
        label_plate(tmp("bg.png"), tmp(f"b{k}.png"), 136, 22, "试玩账号 点击激活", pulse, "#8a2e1c",
                    "#ffd28a", "#fff8e8", extra=glow)
        frames.append(tmp(f"b{k}.png"))
    strip(frames, os.path.join(CLIENT, "142.png"))

    # Window buttons (25x25, three frames side by side) at rows 7..31 of the band.
    band(tmp("row7.png"), 25, 7, 25)
    glyphs = {
        136: lambda o: ["-draw", f"line {8 + o},{8 + o} {16 + o},{16 + o}",
                        "-draw", f"line {16 + o},{8 + o} {8 + o},{16 + o}"],
        151: lambda o: ["-draw", f"line {7 + o},{16 + o} {17 + o},{16 + o}"],
        150: lambda o: ["-draw", f"rectangle {7.5 + o},{7.5 + o} {17.5 + o},{16.5 + o}",
                        "-draw", f"line {7.5 + o},{8.5 + o} {17.5 + o},{8.5 + o}"],
        157: lambda o: ["-draw", f"rectangle {6.5 + o},{10.5 + o} {14.5 + o},{17.5 + o}",
                        "-draw", f"polyline {9.5 + o},{10.5 + o} {9.5 + o},{6.5 + o} "
                                 f"{17.5 + o},{6.5 + o} {17.5 + o},{13.5 + o} {14.5 + o},{13.5 + o}"],
    }
    for rid, glyph in glyphs.items():
        hot = "#c0392b" if rid == 136 else "#5a4478"
        pressed = "#7e2118" if rid == 136 else "#2a1e3a"
        frames = []
        for state, (plate, ink, off) in enumerate([(None, "#d8c8a8", 0), (hot, "#ffffff", 0),
                                                   (pressed, "#e0d0c0", 1)]):
            body = [] if plate is None else ["-fill", plate, "-stroke", "#00000040",
                                             "-draw", "roundrectangle 1,1 23,23 4,4"]
            im(tmp("row7.png"), *body, "-fill", "none", "-stroke", ink, "-strokewidth", "1.6",
               *glyph(off), tmp(f"w{state}.png"))
            frames.append(tmp(f"w{state}.png"))
        strip(frames, os.path.join(CLIENT, f"{rid}.png"), vertical=False)


# ---------------------------------------------------------------- boss-key dialog (132, 137, 156)

def bosskey_dialog():
    im("-size", "355x169", f"gradient:{PLUM}-{INK}",
       "(", "-size", "355x26", "gradient:#4e3166-#2c1c3e", ")", "-geometry", "+0+0", "-composite",
       "-fill", GOLD_DARK, "-draw", "rectangle 0,26 354,26",
       "-fill", "none", "-stroke", GOLD_DARK, "-draw", "rectangle 0.5,0.5 354.5,168.5",
       "-stroke", "#e2b86640", "-draw", "rectangle 3.5,29.5 351.5,165.5",
       "-stroke", "none", "-font", CJK, "-pointsize", "13", "-fill", PALE, "-gravity", "northwest",
       "-annotate", "+32+6", "老板键设置",
       "-fill", "#0c0816", "-draw", "rectangle 132,70 227,96",
       "-fill", GOLD_DARK, "-draw", "rectangle 133,71 226,95",
       "-fill", "#a89a86", "-pointsize", "12",
       "-annotate", "+50+118", "按下组合键即可一键隐藏或显示游戏窗口",
       tmp("dlg.png"))
    crest(tmp("dlg-crest.png"), 20)
    im(tmp("dlg.png"), tmp("dlg-crest.png"), "-geometry", "+7+3", "-composite", tmp("dlg.png"))
    finish(tmp("dlg.png"), os.path.join(CLIENT, "132.png"))

    im(tmp("dlg.png"), "-crop", "11x11+344+0", "+repage", tmp("bg.png"))
    frames = []
    for state, (plate, ink) in enumerate([(None, "#e8d8b8"), ("#c0392b", "#ffffff"),
                                          ("#7e2118", "#e0c0b0")]):
        body = [] if plate is None else ["-fill", plate, "-draw", "rectangle 0,0 10,10"]
        im(tmp("bg.png"), *body, "-stroke", ink, "-strokewidth", "1.3",
           "-draw", "line 2.5,2.5 8.5,8.5", "-draw", "line 8.5,2.5 2.5,8.5", tmp(f"c{state}.png"))
        frames.append(tmp(f"c{state}.png"))
    strip(frames, os.path.join(CLIENT, "137.png"))

    im(tmp("dlg.png"), "-crop", "60x21+239+73", "+repage", tmp("bg.png"))
    label_plate(tmp("bg.png"), tmp("ok0.png"), 60, 21, "确定", "#4a3560", "#2e2140", "#8f6a30",
                "#eadbb8")
    label_plate(tmp("bg.png"), tmp("ok1.png"), 60, 21, "确定", "#a8552e", "#6e2f22", "#ffd28a",
                "#ffffff")
    strip([tmp("ok0.png"), tmp("ok1.png")], os.path.join(CLIENT, "156.png"))


# ---------------------------------------------------------------- VIP message window (144-146)

def vip_window():
    im("-size", "818x47", "gradient:#e4f0fc-#a9cdf0", "-fill", "#ffffff",
       "-draw", "rectangle 0,0 817,0", "-fill", "#7fa9d6", "-draw", "rectangle 0,46 817,46",
       tmp("title.png"))
    finish(tmp("title.png"), os.path.join(CLIENT, "145.png"))
    # A light, almost blank badge: a pale speech bubble.
    im("-size", "39x47", "xc:none", "-fill", "#ffffffd8", "-stroke", "#8fb6e0", "-strokewidth", "2",
       "-draw", "roundrectangle 3,6 35,32 8,8", "-stroke", "none", "-fill", "#ffffffd8",
       "-draw", "polygon 10,31 10,41 20,31",
       "-fill", "#9cc0e8", "-draw", "circle 12,19 14,19", "-draw", "circle 19,19 21,19",
       "-draw", "circle 26,19 28,19", tmp("icon.png"))
    finish(tmp("icon.png"), os.path.join(CLIENT, "144.png"))
    frames = []
    for state, (plate, ink, off) in enumerate([(None, "#3a5a80", 0), ("#e04a3a", "#ffffff", 0),
                                               ("#a8281c", "#f0d0d0", 1)]):
        body = [] if plate is None else ["-fill", plate, "-draw", "roundrectangle 0,0 39,19 3,3"]
        im("-size", "40x20", "xc:none", *body, "-fill", "none", "-stroke", ink,
           "-strokewidth", "1.6", "-draw", f"line {16 + off},{6 + off} {24 + off},{14 + off}",
           "-draw", f"line {24 + off},{6 + off} {16 + off},{14 + off}", tmp(f"v{state}.png"))
        frames.append(tmp(f"v{state}.png"))
    strip(frames, os.path.join(CLIENT, "146.png"))


# ---------------------------------------------------------------- icons

def write_ico(pngs, dest):
    """An icon file of 32-bit BGRA entries (BMP form with an AND mask), one per PNG."""
    entries = []
    for png in pngs:
        w, h = size_of(png)
        rgba = subprocess.run([CONVERT, png, "-depth", "8", "rgba:-"], check=True,
                              capture_output=True).stdout
        rows = []
        for y in range(h - 1, -1, -1):
            row = bytearray()
            for x in range(w):
                r, g, b, a = rgba[(y * w + x) * 4:(y * w + x) * 4 + 4]
                row += bytes((b, g, r, a))
            rows.append(bytes(row))
        mask_stride = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            bits = bytearray(mask_stride)
            for x in range(w):
                if rgba[(y * w + x) * 4 + 3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, w * h * 4 + len(mask), 0, 0,
                             0, 0)
        entries.append((w, h, header + b"".join(rows) + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for w, h, data in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data in entries)
    os.makedirs(os.path.dirname(dest), exist_ok=True)
    with open(dest, "wb") as f:
        f.write(out)


def icons():
    sizes = []
    for s in (16, 32, 48):
        crest(tmp(f"ic{s}-raw.png"), s * 4)
        im(tmp(f"ic{s}-raw.png"), "-filter", "Lanczos", "-resize", f"{s}x{s}", tmp(f"ic{s}.png"))
        finish(tmp(f"ic{s}.png"), tmp(f"ic{s}-final.png"))
        sizes.append(tmp(f"ic{s}-final.png"))
    write_ico(sizes, os.path.join(CLIENT, "duskshell.ico"))
    # The installer's icon: the crest with a green downward arrow in its corner.
    im(tmp("ic48.png"), "-fill", "#1f8a3a", "-stroke", "#e8ffe8", "-strokewidth", "1.5",
       "-draw", "circle 36,36 36,25",
       "-stroke", "none", "-fill", "#ffffff",
       "-draw", "polygon 33,28 39,28 39,35 43,35 36,43 29,35 33,35", tmp("setup48.png"))
    finish(tmp("setup48.png"), tmp("setup48-final.png"))
    write_ico([tmp("setup48-final.png")], os.path.join(INSTALLER, "dusksetup.ico"))


# ---------------------------------------------------------------- previews (not committed)

def frame_of(rid, frame, w, h, horizontal=False):
    geometry = f"{w}x{h}+{frame * w}+0" if horizontal else f"{w}x{h}+0+{frame * h}"
    return ["(", os.path.join(CLIENT, f"{rid}.png"), "-crop", geometry, "+repage", ")"]


def previews(folder):
    """The login frame as the program composes it (normal and hover looks) and a game window."""
    os.makedirs(folder, exist_ok=True)
    buttons = [(138, 1071, 127, 31, 31), (152, 1053, 98, 24, 24), (153, 478, 103, 85, 25),
               (133, 586, 103, 85, 25), (139, 814, 103, 85, 25), (131, 922, 103, 85, 25)]
    for frame, name in ((0, "login-normal.png"), (1, "login-hover.png")):
        cmd = ["-size", "1190x700", "xc:#3a6ea5", os.path.join(CLIENT, "149.png"), "-composite"]
        for rid, x, y, w, h in buttons:
            cmd += frame_of(rid, frame, w, h) + ["-geometry", f"+{x}+{y}", "-composite"]
        im(*cmd, os.path.join(folder, name))

    w, h = 1300, 820
    art = lambda rid: os.path.join(CLIENT, f"{rid}.png")
    cmd = ["(", art(143), "-crop", "800x40+0+0", "+repage", "-resize", f"{w}x40!", ")",
           "(", art(143), "-crop", "800x460+0+40", "+repage", "-resize", f"{w}x{h - 40}!", ")",
           "-append", "-fill", "#f4f4f4", "-draw", f"rectangle 2,40 {w - 3},{h - 3}",
           art(147), "-geometry", "+10+5", "-composite",
           "-font", CJK, "-pointsize", "13", "-fill", PALE, "-annotate", "+66+25",
           "KorvaneDuskreign--一区 暮光之城(F9刷新)",
           art(160), "-geometry", f"+{w - 612}+9", "-composite"]
    cmd += frame_of(142, 3, 136, 22) + ["-geometry", f"+{w - 532}+9", "-composite"]
    for rid, x, bw, frame in [(155, w - 391, 75, 0), (154, w - 311, 65, 1), (135, w - 241, 75, 0),
                              (140, w - 161, 65, 0)]:
        cmd += frame_of(rid, frame, bw, 22) + ["-geometry", f"+{x}+9", "-composite"]
    cmd += frame_of(158, 2, 16, 16, True) + ["-geometry", f"+{w - 237}+13", "-composite"]
    for rid, x, frame in [(151, w - 88, 0), (157, w - 60, 1), (136, w - 32, 0)]:
        cmd += frame_of(rid, frame, 25, 25, True) + ["-geometry", f"+{x}+7", "-composite"]
    im(*cmd, os.path.join(folder, "game-window.png"))


def main():
    preview_folder = None
    if "--preview" in sys.argv:
        preview_folder = os.path.abspath(sys.argv[sys.argv.index("--preview") + 1])
    try:
        skin = login_skin()
        login_buttons(skin)
        game_window()
        bosskey_dialog()
        vip_window()
        icons()
        if preview_folder:
            previews(preview_folder)
    finally:
        shutil.rmtree(TMP, ignore_errors=True)


if __name__ == "__main__":
    main()
