// Checks script answers rendered by EscapeByDefaultTest with node.
// Input (argv[2]): one JSON object per line, {"doc": rendered answer, "value": the request
// text}. The answer must call cb once with {dict: V, s: V} (or, for a refused callback, only
// evaluate to that object) and run nothing else. Prints one line per case that fails.
'use strict';
const fs = require('fs');
const vm = require('vm');

const lines = fs.readFileSync(process.argv[2], 'utf8').split('\n').filter((l) => l.length > 0);
lines.forEach((line, number) => {
    const { doc, value } = JSON.parse(line);
    const calls = [];
    const context = {
        cb: (o) => calls.push(o),
        alert: () => { throw new Error('alert ran'); },
        document: { domain: 'example.test' },
    };
    let result;
    try {
        result = vm.runInNewContext(doc, context, { timeout: 1000 });
    } catch (error) {
        console.log(`case ${number} ${JSON.stringify(value)}: ${error.message}`);
        return;
    }
    const got = calls.length === 1 ? calls[0] : result;
    if (calls.length > 1 || !got || got.dict !== value || got.s !== value)
        console.log(`case ${number} ${JSON.stringify(value)}: got ${JSON.stringify(got)}`);
});
