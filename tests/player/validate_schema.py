"""usage: validate_schema.py SCHEMA FILE...: prints "FILE: PATH..." with the
paths of the values of each YAML file (scalars as text, as the engine reads
them) the JSON Schema rejects; exits 1 when any was, 2 for an invalid schema."""
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
    paths = sorted("/".join(map(str, error.absolute_path)) for error in validator.iter_errors(content))
    if paths:
        print("%s: %s" % (os.path.basename(path), " ".join(paths)))
        rejected = True
sys.exit(1 if rejected else 0)
