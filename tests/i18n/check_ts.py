#!/usr/bin/env python3
"""Checks the translation sources: every message of every skyloom_*.ts is
finished, keeps the source's %1-style place holders and has an Alt
accelerator exactly when the source has one; with --lupdate, every file
holds exactly the texts the code marks now (lupdate was run after the last
change). Names every message that fails.
Usage: check_ts.py TRANSLATIONS_FOLDER [--lupdate LUPDATE --sources LISTFILE]"""
import argparse
import glob
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r'%L?(\d+)')


def mnemonics(text):
    """Number of '&' that mark an accelerator ('&&' is a plain ampersand)."""
    return len(re.findall(r'&(?!&)', text.replace('&&', '')))


def one_line(text):
    return text.replace('\n', '\\n')


def live_messages(root):
    """(context, source) of the messages that are not vanished or obsolete."""
    found = set()
    for context in root.iter('context'):
        for message in context.iter('message'):
            translation = message.find('translation')
            if translation is not None and translation.get('type') in ('vanished', 'obsolete'):
                continue
            found.add((context.findtext('name'), message.findtext('source') or ''))
    return found


def marked_in_code(lupdate, sources):
    """The texts the code marks, as lupdate finds them now."""
    with tempfile.TemporaryDirectory() as tmp:
        ts = os.path.join(tmp, 'current.ts')
        subprocess.run([lupdate, '-silent', '-locations', 'none', '@' + sources, '-ts', ts],
                       check=True, stdout=subprocess.DEVNULL)
        return live_messages(ET.parse(ts).getroot())


def check_current(path, marked):
    have = live_messages(ET.parse(path).getroot())
    problems = [f'not in the file (run update_translations): {c}: "{one_line(s)}"'
                for c, s in sorted(marked - have)]
    problems += [f'no longer in the code: {c}: "{one_line(s)}"' for c, s in sorted(have - marked)]
    return problems


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
    parser = argparse.ArgumentParser()
    parser.add_argument('folder')
    parser.add_argument('--lupdate')
    parser.add_argument('--sources')
    args = parser.parse_args()
    files = sorted(glob.glob(os.path.join(args.folder, 'skyloom_*.ts')))
    if not files:
        print(f'FAIL: no skyloom_*.ts in {args.folder}')
        return 1
    marked = marked_in_code(args.lupdate, args.sources) if args.lupdate else None
    failed = False
    for path in files:
        problems = check_file(path)
        if marked is not None:
            problems += check_current(path, marked)
        for problem in problems:
            print(f'FAIL {os.path.basename(path)}: {problem}')
            failed = True
    if not failed:
        print(f'PASS: {len(files)} translation files complete')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
