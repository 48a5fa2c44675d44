#!/usr/bin/python3
"""validate_json.py SCHEMA FILE...: each FILE must hold exactly one JSON
document of valid UTF-8, without lone surrogates, that the schema accepts.
Prints one line per fault; exits 1 when there was any."""
import json
import sys

import jsonschema


def strings(value):
    if isinstance(value, str):
        yield value
    elif isinstance(value, list):
        for item in value:
            yield from strings(item)
    elif isinstance(value, dict):
        for key, item in value.items():
            yield key
            yield from strings(item)


def fault(path, schema):
    raw = open(path, 'rb').read()
    try:
        text = raw.decode('utf-8')
    except UnicodeDecodeError as error:
        return f'not UTF-8: {error}'
    if not text.endswith('\n') or '\n' in text[:-1]:
        return 'not one line'
    try:
        document = json.loads(text)
    except json.JSONDecodeError as error:
        return f'not one JSON document: {error}'
    for s in strings(document):
        try:
            s.encode('utf-8')
        except UnicodeEncodeError:
            return f'a lone surrogate in {s!r}'
    errors = sorted(jsonschema.Draft202012Validator(schema).iter_errors(document), key=str)
    if errors:
        e = errors[0]
        return f'{e.message} at {list(e.absolute_path)}'
    return None


def main():
    schema = json.load(open(sys.argv[1], encoding='utf-8'))
    jsonschema.Draft202012Validator.check_schema(schema)
    faults = 0
    for path in sys.argv[2:]:
        problem = fault(path, schema)
        if problem:
            faults += 1
            print(f'{path}: {problem}')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
