#!/usr/bin/env python3
"""Check that the English translation of the workbench is complete.

usage: check_translations.py LUPDATE SHELL_DIR INCLUDE_DIR TS_FILE

Extracts the translatable texts of the workbench's sources (every .h and .cc
of SHELL_DIR but the tests') with lupdate, as `update_translations` does, and
compares them with TS_FILE: every text must be there and translated, with
the same %-placeholders and, where the source marks a menu accelerator, one
'&' accelerator; TS_FILE may hold no text the sources no longer have. A
Chinese string literal that lupdate did not find (not given to tr(), or in a
call lupdate cannot read) is a fault too, unless it is one of DATA_TEXTS.
Prints each fault and exits 1 if there is one.
"""

import pathlib
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


# Chinese string literals of the workbench that are not its texts: words of
# the report it looks for (the same in every language) and font names.
DATA_TEXTS = {
    # report_outline.cc: the headings of a report.
    '全部标记共有', '文件中共有排列:', '的全部排列如下', '不能组合的排列如下', '能组合的排列如下',
    '外显型歧义的排列如下', '内含型歧义的排列如下', '内含型歧义格式平均歧义个数',
    '外显型歧义格式平均歧义个数', '内含型歧义:', '外显型歧义:', '：',
    # parse_pane.cc: a report's own lines that are no patterns.
    r'^\t+(其中.*:\d+个|(没有|无).*!!!)$',
    # parse_pane.cc: the divergence points in the words of marvolen-report --parse.
    '歧义点 %1: ', '歧义点：未计算（组合方式超出上限）',
    # dialogs.cc, report_view.cc: a font, and the text a line's height is measured with.
    '宋体', '汉Ag',
}
CHINESE = re.compile('[\u3000-\u9fff\uff00-\uffef]')


def literals(path):
    """The string literals of a C++ file, adjacent ones joined, escapes kept."""
    text = re.sub(r'//[^\n]*', '', pathlib.Path(path).read_text(encoding='utf-8'))
    found = []
    for run in re.finditer(r'"(?:[^"\\\n]|\\.)*"(?:\s*"(?:[^"\\\n]|\\.)*")*', text):
        parts = re.findall(r'"((?:[^"\\\n]|\\.)*)"', run.group(0))
        found.append(''.join(parts))
    return found


def unescape(literal):
    return re.sub(r'\\(.)', lambda m: {'n': '\n', 't': '\t'}.get(m.group(1), m.group(1)),
                  literal)


def untranslated_literals(files, extracted):
    texts = {key[1] for key in extracted}
    problems = []
    for path in files:
        for literal in literals(path):
            text = unescape(literal)
            if CHINESE.search(text) and text not in texts and literal not in DATA_TEXTS \
                    and text not in DATA_TEXTS:
                problems.append(f'Chinese text not given to tr(): {pathlib.Path(path).name}: '
                                f'{text!r}')
    return problems


def sources(shell_dir):
    return sorted(
        str(p) for p in pathlib.Path(shell_dir).iterdir()
        if p.suffix in ('.h', '.cc') and not p.name.endswith('_test.cc')
        and not p.name.startswith('test_support.'))


def messages(ts_file):
    """{(context, source, comment): message element} of a .ts file."""
    found = {}
    for context in ET.parse(ts_file).getroot().iter('context'):
        name = context.findtext('name')
        for message in context.iter('message'):
            key = (name, message.findtext('source'), message.findtext('comment') or '')
            found[key] = message
    return found


def translations(message):
    """The translated forms of a message (one, or one per plural form)."""
    translation = message.find('translation')
    if translation is None:
        return []
    forms = translation.findall('numerusform')
    return [f.text or '' for f in forms] if forms else [translation.text or '']


def placeholders(text):
    return sorted(set(re.findall(r'%(?:L?n|\d+|[vm])', text)))


def faults(extracted, committed):
    problems = []
    for key, message in extracted.items():
        context, source, _ = key
        where = f'{context}: {source!r}'
        if key not in committed:
            problems.append(f'no English translation (not in the .ts file): {where}')
            continue
        entry = committed[key]
        kind = (entry.find('translation').get('type') if entry.find('translation') is not None
                else None)
        forms = translations(entry)
        if kind in ('unfinished', 'vanished', 'obsolete') or not forms or not all(forms):
            problems.append(f'no English translation ({kind or "empty"}): {where}')
            continue
        if (message.get('numerus') == 'yes') != (entry.get('numerus') == 'yes'):
            problems.append(f'plural forms differ from the source: {where}')
        # A "%n" of a plural form may be left out of the singular's text.
        wanted = [p for p in placeholders(source) if p not in ('%n', '%Ln')]
        for form in forms:
            have = [p for p in placeholders(form) if p not in ('%n', '%Ln')]
            if have != wanted:
                problems.append(f'placeholders {have} instead of {wanted}: {where} -> {form!r}')
        if re.search(r'\(&\w\)', source) and not all(re.search(r'&\w', f) for f in forms):
            problems.append(f'no accelerator: {where}')
        if '\t' in source and any(f.split('\t', 1)[-1] != source.split('\t', 1)[-1]
                                  for f in forms):
            problems.append(f'shortcut after the tab differs: {where}')
    for key in committed:
        if key not in extracted:
            problems.append(f'text no source has any more: {key[0]}: {key[1]!r}')
    return problems


def main(argv):
    if len(argv) != 5:
        print(__doc__, file=sys.stderr)
        return 64
    lupdate, shell_dir, include_dir, ts_file = argv[1:]
    with tempfile.TemporaryDirectory() as scratch:
        fresh = pathlib.Path(scratch) / 'extracted_en.ts'
        run = subprocess.run(
            [lupdate, '-silent', '-I', include_dir, '-locations', 'none',
             '-source-language', 'zh_CN', '-target-language', 'en',
             *sources(shell_dir), '-ts', str(fresh)],
            capture_output=True, text=True)
        if run.returncode != 0 or not fresh.exists():
            print(run.stdout + run.stderr, file=sys.stderr)
            print('lupdate failed', file=sys.stderr)
            return 1
        # lupdate's own warnings (a tr() it cannot read, an unknown class)
        # mean a text it may have missed or put in the wrong context.
        if run.stderr.strip():
            print(run.stderr, file=sys.stderr)
            print('lupdate warned about the sources', file=sys.stderr)
            return 1
        extracted = messages(fresh)
    problems = (faults(extracted, messages(ts_file)) +
                untranslated_literals(sources(shell_dir), extracted))
    for problem in problems:
        print(problem)
    print(f'{len(extracted)} texts, {len(problems)} faults')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
