"""Validates YAML files against a JSON Schema with Debian's python3-jsonschema.

usage: validate_schema.py SCHEMA FILE...
Scalars are read as the text written (YAML's BaseLoader), as the engine reads
them. Prints FILE: PATH for each value the schema rejects; exit status 1 when
any was rejected, 2 when the schema itself is not a valid draft 2020-12 schema.
"""
import json
import os
import sys

import yaml
from jsonschema import Draft202012Validator
from jsonschema.exceptions import SchemaError

with open(sys.argv[1]) as schema_file:
    schema = json.load(schema_file)
try:
    Draft202012Validator.check_schema(schema)
except SchemaError as error:
    print("invalid schema: %s" % error.message)
    sys.exit(2)
validator = Draft202012Validator(schema)
rejected = False
for path in sys.argv[2:]:
    with open(path) as document:
        content = yaml.load(document, Loader=yaml.BaseLoader)
    for error in validator.iter_errors(content):
        print("%s: %s" % (os.path.basename(path), "/".join(map(str, error.absolute_path))))
        rejected = True
sys.exit(1 if rejected else 0)
