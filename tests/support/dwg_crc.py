"""The 16-bit CRC of DWG files (polynomial 0xA001, bits taken least significant first), for
the scripts that write DWG fixtures and fuzz seeds."""


def crc16(data, seed=0):
    crc = seed
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc
