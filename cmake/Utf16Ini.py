"""Rewrites an 8-bit settings file as UTF-16LE with a byte-order mark and CR LF
line ends, the form the setup program's wide profile reader expects.

Usage: Utf16Ini.py <input> <output>
"""
import sys

with open(sys.argv[1], 'rb') as src:
    text = src.read().decode('utf-8')
lines = text.replace('\r\n', '\n').replace('\r', '\n').split('\n')
if lines and lines[-1] == '':
    lines.pop()
with open(sys.argv[2], 'wb') as dst:
    dst.write(b'\xff\xfe' + ''.join(line + '\r\n' for line in lines).encode('utf-16-le'))
