// Check as you type stays smooth: 1,000 words typed in bursts send at most one spelling and one
// grammar request per pause and each word once. The longest main-thread task of the script is
// printed, not asserted: on a shared machine wall-clock times say more about the neighbours
// than the script.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario } = require('./harness');

const VOCABULARY = ('the of and to in is you that it he was for on are as with his they at be this have from ' +
    'or one had by word but not what all were we when your can said there use an each which she do how ' +
    'their if will up other about out many then them these so some her would make like him into time has ' +
    'look two more write go see number no way could people my than first water been call who oil its now ' +
    'find long down day did get come made may part recieve leter freind wierd untill').split(' ');

test('1,000 typed words: one request of each kind per pause at most, each word sent once', () =>
    scenario('kwirl_smooth', async ({ page, url }) => {
        await page.goto(url + '/');
        await page.fill('#kwirl-textarea', '');
        await page.evaluate(() => Verbarium.settled());
        const start = await page.evaluate(() => ({ ...Verbarium.stats }));
        await page.click('#kwirl-textarea');
        let seed = 7;
        const next = () => (seed = (seed * 1103515245 + 12345) % 2147483648);
        const bursts = 20;
        for (let b = 0; b < bursts; b++) {
            const words = Array.from({ length: 50 }, () => VOCABULARY[next() % VOCABULARY.length]);
            await page.keyboard.type(words.join(' ') + ' ');
            await page.waitForTimeout(450);   // the user pauses
        }
        await page.evaluate(() => Verbarium.settled());
        const stats = await page.evaluate(() => ({ ...Verbarium.stats }));
        const requests = stats.requests - start.requests;
        // The grammar of the text goes piece by piece: a check sends the piece typed into, in
        // one request. (A loaded machine makes more checks than pauses: a key late by more than
        // the pause starts one.)
        const checks = stats.checks - start.checks;
        const grammarRequests = stats.grammarRequests - start.grammarRequests;
        console.log(`# ${requests} requests and ${grammarRequests} grammar requests for ${bursts} pauses (${checks} checks); ` +
                    `${stats.wordsSent - start.wordsSent} words sent; longest task ${stats.maxTaskMs.toFixed(1)} ms (${stats.maxTask})`);
        assert.ok(requests <= bursts, `${requests} requests for ${bursts} pauses`);
        assert.ok(grammarRequests <= checks, `${grammarRequests} grammar requests for ${checks} checks`);
        const distinct = new Set(VOCABULARY).size;
        assert.ok(stats.wordsSent - start.wordsSent <= distinct, `${stats.wordsSent - start.wordsSent} words sent`);
        const words = (await page.inputValue('#kwirl-textarea')).trim().split(/\s+/);
        assert.equal(words.length, bursts * 50);
        const marked = await page.evaluate(() => Verbarium.misspelt(document.getElementById('kwirl-textarea')));
        assert.ok(marked.length > 0 && marked.every((w) => ['recieve', 'leter', 'freind', 'wierd', 'untill'].includes(w)),
                  marked.join(','));
    }));
