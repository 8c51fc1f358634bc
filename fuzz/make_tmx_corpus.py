#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_tmx_load: a small Tiled map in every layer encoding the reader
accepts, with an external tileset, and a few maps it must refuse; the same in Tiled's JSON
form, with groups, skipped layers, a second tileset and an infinite map. Rewrites
fuzz/corpus/tmx_load/."""
import base64
import gzip
import json
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "tmx_load")

HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" orientation="hexagonal" renderorder="right-down" width="4" height="3" tilewidth="32" tileheight="32" infinite="0" hexsidelength="16" staggeraxis="x" staggerindex="odd">
 <properties>
  <property name="solid panel" type="int" value="7"/>
  <property name="flood panel" type="int" value="6"/>
  <property name="first wall panel" type="int" value="1"/>
 </properties>
"""
EMBEDDED = """ <tileset firstgid="1" name="t" tilewidth="32" tileheight="40" tilecount="24" columns="8">
  <tileoffset x="0" y="8"/>
  <image source="t.png" trans="ff00ff" width="256" height="256"/>
 </tileset>
"""
EXTERNAL = ' <tileset firstgid="1" source="t.tsx"/>\n'
GROUND = [2, 3, 1, 4, 0, 5, 4, 9, 1, 1, 2, 24]
WALLS = [0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0]


def layer(lid, name, gids, encoding):
    raw = b"".join(struct.pack("<I", g) for g in gids)
    if encoding == "csv":
        body = '<data encoding="csv">\n' + ",".join(map(str, gids)) + "\n</data>"
    elif encoding == "xml":
        body = "<data>" + "".join('<tile gid="%d"/>' % g for g in gids) + "</data>"
    elif encoding == "base64":
        body = '<data encoding="base64">' + base64.b64encode(raw).decode() + "</data>"
    else:
        packed = zlib.compress(raw) if encoding == "zlib" else gzip.compress(raw)
        body = ('<data encoding="base64" compression="%s">' % encoding +
                base64.b64encode(packed).decode() + "</data>")
    return ' <layer id="%d" name="%s" width="4" height="3">\n  %s\n </layer>\n' % (lid, name, body)


def tmx(encoding, tileset=EMBEDDED):
    return (HEAD + tileset + layer(1, "ground", GROUND, encoding) +
            layer(2, "wall down", WALLS, encoding) + layer(3, "solid", WALLS, encoding) +
            layer(4, "overlay", GROUND, encoding) + "</map>\n")


def json_layer(lid, name, gids, encoding="csv", visible=True):
    out = {"id": lid, "name": name, "type": "tilelayer", "width": 4, "height": 3, "x": 0, "y": 0,
           "opacity": 1, "visible": visible}
    if encoding == "csv":
        out["data"] = gids
    else:
        raw = b"".join(struct.pack("<I", g) for g in gids)
        out.update(encoding="base64", compression=encoding,
                   data=base64.b64encode(zlib.compress(raw) if encoding == "zlib" else gzip.compress(raw)).decode())
    return out


def json_maps():
    tileset = {"firstgid": 1, "name": "t", "tilewidth": 32, "tileheight": 40, "tilecount": 24,
               "columns": 8, "image": "t.png", "imagewidth": 256, "imageheight": 256,
               "margin": 0, "spacing": 0, "transparentcolor": "#ff00ff",
               "tiles": [{"id": 2, "properties": [{"name": "cost", "type": "int", "value": 3}]},
                         {"id": 4, "properties": [{"name": "solid", "type": "bool", "value": True}]}]}
    base = {"type": "map", "version": "1.8", "orientation": "hexagonal", "width": 4, "height": 3,
            "tilewidth": 33, "tileheight": 31, "hexsidelength": 16, "staggeraxis": "x",
            "staggerindex": "odd", "infinite": False, "tilesets": [tileset]}
    maps = {}
    maps["plain"] = dict(base, layers=[json_layer(1, "Tile Layer 1", GROUND)])
    maps["zlib"] = dict(base, layers=[json_layer(1, "ground", GROUND, "zlib"),
                                      json_layer(2, "wall down", WALLS, "gzip")])
    maps["groups"] = dict(base, layers=[
        {"type": "group", "name": "g", "layers": [json_layer(1, "Ground", GROUND),
                                                  json_layer(2, "decor", WALLS)]},
        json_layer(3, "hidden", GROUND, visible=False),
        {"type": "objectgroup", "name": "spawns", "objects": []},
        {"type": "imagelayer", "name": "sky", "image": "t.png"}])
    maps["two_tilesets"] = dict(base, tilesets=[tileset, {"firstgid": 25, "source": "t.tsx"}],
                                layers=[json_layer(1, "ground", [g + 20 for g in GROUND])])
    chunk = {"x": -16, "y": 0, "width": 4, "height": 3, "data": GROUND}
    maps["infinite"] = dict(base, infinite=True, layers=[
        {"type": "tilelayer", "name": "ground", "chunks": [chunk, dict(chunk, x=4)]}])
    maps["flipped"] = dict(base, layers=[json_layer(1, "ground", [2147483650] + GROUND[1:])])
    return maps


def main():
    os.makedirs(OUT, exist_ok=True)
    for name in os.listdir(OUT):
        os.remove(os.path.join(OUT, name))
    files = {e + ".tmx": tmx(e) for e in ("csv", "xml", "base64", "zlib", "gzip")}
    files["external_tileset.tmx"] = tmx("csv", EXTERNAL)
    files["flipped.tmx"] = tmx("csv").replace(">\n2,3,", ">\n2147483650,3,", 1)
    files["even_stagger.tmx"] = tmx("csv").replace('staggerindex="odd"', 'staggerindex="even"')
    files["zstd.tmx"] = tmx("zlib").replace('"zlib"', '"zstd"')
    files.update({name + ".tmj": json.dumps(value) for name, value in json_maps().items()})
    for name, text in files.items():
        with open(os.path.join(OUT, name), "w") as f:
            f.write(text)


if __name__ == "__main__":
    main()
