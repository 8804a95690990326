# Reads a settings file strictly, for the reliability checks: a file that a crash cut
# short or mixed up does not read as a good one here, where the program's own reader
# would accept it (it accepts any bytes).


class Damaged(Exception):
    pass


def parse_sections(data):
    """The sections of settings file bytes as {name: [lines]} in file order. Raises
    Damaged for text that a complete write never leaves: not UTF-8, no final line end,
    NUL bytes, lines before the first section, a line that is neither a section header
    nor key=value, or a section that appears twice."""
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        raise Damaged(f"not UTF-8 ({error})") from None
    if not text:
        raise Damaged("empty")
    if "\0" in text:
        raise Damaged("NUL bytes")
    if not text.endswith("\n"):
        raise Damaged("the last line has no line end")
    sections = {}
    current = None
    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith("[") and line.endswith("]"):
            current = line[1:-1]
            if current.lower() in (name.lower() for name in sections):
                raise Damaged(f"line {number}: section [{current}] appears twice")
            sections[current] = []
        elif current is None:
            raise Damaged(f"line {number}: text before the first section")
        elif line.strip() and "=" not in line:
            raise Damaged(f"line {number}: neither a section nor key=value: {line[:60]!r}")
        elif line.strip():
            sections[current].append(line)
    return sections


def check_after_kill(before, after, bank_section, new_bank):
    """Compares the settings file after a kill during a bank store with the file before:
    (damage, bank_lost, stored): a description of the damage or None, whether the bank's
    section is neither its old nor its new content (in a file that reads), and whether
    it is the new one."""
    try:
        old_sections = parse_sections(before)
        sections = parse_sections(after)
    except Damaged as error:
        return str(error), False, False
    if set(sections) != set(old_sections):
        return f"sections {sorted(set(sections) ^ set(old_sections))} appeared or vanished", \
            bank_section not in sections, False
    changed = [name for name in sections
               if name != bank_section and sections[name] != old_sections[name]]
    damage = f"sections {changed} changed" if changed else None
    bank = sections[bank_section]
    stored = bank == new_bank
    return damage, not stored and bank != old_sections[bank_section], stored
