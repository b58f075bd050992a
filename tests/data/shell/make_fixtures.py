#!/usr/bin/env python3
"""Writes the DXF fixtures of the command-line tests (run in this folder).

layout_name_2000.dxf   ../render/two_layouts_2000.dxf with its paper layout "Layout1" (the one
                       with a viewport) renamed "Plan/Front": a layout name that cannot be part
                       of a file name as it stands.
viewport_two_2000.dxf  the same drawing whose one paper-space viewport has the number 2, so
                       that the display makes the sheet viewport of its own before it.
"""

with open('../render/two_layouts_2000.dxf') as source:
    text = source.read()
assert text.count('\nLayout1\n') == 2
renamed = text.replace('\nLayout1\n', '\nPlan/Front\n')
with open('layout_name_2000.dxf', 'w') as target:
    target.write(renamed)

assert renamed.count('\n 69\n1\n') == 1
with open('viewport_two_2000.dxf', 'w') as target:
    target.write(renamed.replace('\n 69\n1\n', '\n 69\n2\n'))
