#!/usr/bin/env python3
"""Checks the translation sources: every message of every skyloom_*.ts is
finished, keeps the source's %1-style place holders and has an Alt
accelerator exactly when the source has one. Names every message that fails.
Usage: check_ts.py TRANSLATIONS_FOLDER"""
import glob
import os
import re
import sys
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r'%L?(\d+)')


def mnemonics(text):
    """Number of '&' that mark an accelerator ('&&' is a plain ampersand)."""
    return len(re.findall(r'&(?!&)', text.replace('&&', '')))


def one_line(text):
    return text.replace('\n', '\\n')


def check_file(path):
    problems = []
    root = ET.parse(path).getroot()
    stem = os.path.basename(path)[len('skyloom_'):-len('.ts')]
    language = root.get('language', '')
    if not language.startswith(stem):
        problems.append(f'declares language "{language}", its name says "{stem}"')
    count = 0
    for context in root.iter('context'):
        cname = context.findtext('name')
        for message in context.iter('message'):
            translation = message.find('translation')
            kind = translation.get('type', '') if translation is not None else 'missing'
            if kind in ('vanished', 'obsolete'):
                continue
            count += 1
            source = message.findtext('source') or ''
            where = f'{cname}: "{one_line(source)}"'
            forms = ([f.text or '' for f in translation.iter('numerusform')]
                     if translation is not None else [])
            texts = forms if forms else [translation.text or ''] if translation is not None else []
            if kind == 'unfinished' or not texts or any(not t for t in texts):
                problems.append(f'unfinished: {where}')
                continue
            for text in texts:
                if set(PLACEHOLDER.findall(text)) != set(PLACEHOLDER.findall(source)):
                    problems.append(f'place holders differ: {where} -> "{one_line(text)}"')
                if (mnemonics(source) > 0) != (mnemonics(text) == 1) or mnemonics(text) > 1:
                    problems.append(f'accelerator differs: {where} -> "{one_line(text)}"')
    if count == 0:
        problems.append('holds no messages')
    return problems


def main():
    files = sorted(glob.glob(os.path.join(sys.argv[1], 'skyloom_*.ts')))
    if not files:
        print(f'FAIL: no skyloom_*.ts in {sys.argv[1]}')
        return 1
    failed = False
    for path in files:
        for problem in check_file(path):
            print(f'FAIL {os.path.basename(path)}: {problem}')
            failed = True
    if not failed:
        print(f'PASS: {len(files)} translation files complete')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
