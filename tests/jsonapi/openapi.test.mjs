// docs/openapi.yaml is a valid OpenAPI 3 document (swagger-parser validates it against the
// OpenAPI schema and resolves every reference), and a live /v2/check answer with misspellings,
// grammar problems and "auto" fits its CheckAnswer schema (ajv, which swagger-parser brings).
// Exit 77 (skipped) when the validator or the service's programs are missing.
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import readline from 'node:readline';

const require = createRequire(import.meta.url);
let SwaggerParser, Ajv;
try {
    SwaggerParser = require('@apidevtools/swagger-parser');
    Ajv = require(require.resolve('ajv', { paths: [require.resolve('@apidevtools/swagger-parser')] }));
} catch {
    console.log('skipped: the OpenAPI validator is not installed (npm ci in tests/jsonapi)');
    process.exit(77);
}

const document = await SwaggerParser.validate(process.argv[2]);
console.log(`valid: ${document.info.title} ${document.info.version}`);

const program = process.env.VERBARIUM_LIVE_SERVICE;
if (!program) process.exit(0);
const child = spawn(program, [], { stdio: ['pipe', 'pipe', 'inherit'] });
const line = await new Promise((resolve) =>
    readline.createInterface({ input: child.stdout }).once('line', resolve));
const web = /web=(\d+)/.exec(line);
try {
    if (!web) throw new Error(`the service did not start: ${line}`);
    const ajv = new Ajv({ strict: false });
    const validate = ajv.compile(document.components.schemas.CheckAnswer);
    for (const language of ['en-US', 'auto']) {
        const body = new URLSearchParams({ language, text: 'I recieve a apple. \u{1F600} Teh end.' });
        const answer = await fetch(`http://127.0.0.1:${web[1]}/v2/check`, { method: 'POST', body });
        const json = await answer.json();
        if (!validate(json)) throw new Error(`${language}: ${JSON.stringify(validate.errors)}`);
        if (json.matches.length < 3) throw new Error(`${language}: too few matches`);
    }
    console.log('the answers fit the schema');
} finally {
    child.stdin.end();
}
