#!/usr/bin/python3
"""Writes material_catalogue.xlsx, a small material catalogue as "连接数据库" reads it:
a title row, the heading row, then one material per row in columns A to J (序号,
物料编码, 物料名称, 物料规格, 单位, 用量, 位号, 单价, 供应商, 报价). Sheets 2 and 3 hold
the sources the catalogue is built from (物料编码, 物料名称, 物料规格, 单位 under a heading
row): the hidden rebuild behind the code box (a double-click on it holding "戊") makes
sheet 1 from them again, each material keeping its price and supplier.

Run it from any folder: python3 make_material_catalogue.py
"""
import os

import openpyxl

HEADINGS = ["序号", "物料编码", "物料名称", "物料规格", "单位", "用量", "位号", "单价", "供应商", "报价"]

MATERIALS = [
    ("10-0001", "CHIP RES 0603", "10K 1%", 0.01, "国巨"),
    ("10-0002", "CHIP RES 0603", "4K7 1%", 0.01, "国巨"),
    ("10-0003", "CHIP RES 0402", "10K 1%", 0.008, "国巨"),
    ("20-0001", "CHIP CAP 0603", "100nF 50V", 0.02, "村田"),
    ("20-0002", "CHIP CAP 0603", "104 50V X7R", 0.02, "村田"),
    ("30-0001", "IC LM358 SOIC8", "LM358DR", 0.35, "TI"),
    ("40-0001", "DIODE SOD123", "1N4148W", 0.03, "长电"),
    ("50-0001", "CRYSTAL HC-49S", "32.768KHz", 0.5, "泰晶"),
    ("50-0002", "CRYSTAL HC-49S", "8MHz", 0.4, "#N/A"),
    ("60-0001", "LED 0603 RED", "红灯", 0.05, "亿光"),
    ("70-0001", "POT 3296W", "10KΩ", 1.2, "Bourns"),
    ("80-0001", "RES ARRAY 0603", "10K*4", 0.05, "国巨"),
    ("90-0001", "贴片电容 0603", "1μF 16V", 0.03, "村田"),
]

SPLIT = 8  # materials on sheet 2; the rest are on sheet 3


def main():
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "物料库"
    ws.append(["Velmora 物料库"])
    ws.append(HEADINGS)
    for n, (code, name, rating, price, supplier) in enumerate(MATERIALS, start=1):
        ws.append([n, code, name, rating, "PCS", None, None, price, supplier, None])
    # An error value stands for a supplier nobody entered.
    ws.cell(row=3 + 8, column=9).data_type = "e"
    # The sources: the first materials on sheet 2, the others on sheet 3.
    for title, part in (("物料编码", MATERIALS[:SPLIT]), ("物料规格", MATERIALS[SPLIT:])):
        source = wb.create_sheet(title)
        source.append(HEADINGS[1:5])
        for code, name, rating, _price, _supplier in part:
            source.append([code, name, rating, "PCS"])
    wb.save(os.path.join(os.path.dirname(os.path.abspath(__file__)), "material_catalogue.xlsx"))


if __name__ == "__main__":
    main()
