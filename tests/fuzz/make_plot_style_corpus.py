#!/usr/bin/env python3
"""Writes the seed corpus of the plot_style_table fuzz harness: packed table files (byte 0 = 0)
and table texts (byte 0 = 1), as the harness reads them."""
import os
import struct
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "plot_style_table")

COLOUR_TABLE = """description="Seed table
aci_table_available=TRUE
scale_factor=1.0
apply_factor=FALSE
custom_lineweight_display_units=FALSE
aci_table{
 0="Color_1
 1="Color_2
}
plot_style{
 0{
  name="Color_1
  localized_name="Color_1
  description="
  color=-1006632961
  color_policy=1
  physical_pen_number=0
  virtual_pen_number=0
  screen=100
  linepattern_size=0.5
  linetype=31
  adaptive_linetype=TRUE
  lineweight=0
  fill_style=73
  end_style=4
  join_style=5
 }
 1{
  name="Color_2
  localized_name="Color_2
  lineweight=8
 }
}
custom_lineweight_table{
 0=0.0
 1=0.05
 8=0.30
 26=2.11
}
"""

NAMED_TABLE = """description="Named
aci_table_available=FALSE
plot_style{
 0{
  name="Normal
  localized_name="Normal
 }
}
"""


def packed(text):
    data = text.encode("ascii")
    stream = zlib.compress(data, 9)
    head = b"PIAFILEVERSION_2.0,CTBVER1,compress\r\npmzlibcodec".ljust(52, b" ")
    return head + struct.pack("<II", len(data), len(stream)) + stream


def main():
    os.makedirs(HERE, exist_ok=True)
    files = {
        "colour_file.bin": b"\x00" + packed(COLOUR_TABLE),
        "named_file.bin": b"\x00" + packed(NAMED_TABLE),
        "colour_text.bin": b"\x01" + COLOUR_TABLE.encode("ascii"),
        "header_text.bin": b"\x01" + b"description=x\nscale_factor=2\n",
    }
    for name, data in files.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
