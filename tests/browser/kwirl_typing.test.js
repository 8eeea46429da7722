// Check as you type: exactly the misspelt words are underlined, the caret stays, and a
// suggestion chosen from the menu (mouse or keyboard) corrects the word.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario } = require('./harness');

const SENTENCE = 'I recieve a leter from my freind today';
const MISSPELT = ['recieve', 'leter', 'freind'];

// The centre of the n-th underlined word of a field, in page coordinates.
function markCentre(page, selector, n) {
    return page.evaluate(([sel, index]) => {
        const el = document.querySelector(sel);
        let rect;
        if (el.tagName === 'TEXTAREA') {
            rect = el.previousElementSibling.querySelectorAll('.vb-miss')[index].getBoundingClientRect();
        } else {
            const ranges = [...CSS.highlights.get('verbarium-misspelt')]
                .filter((r) => el.contains(r.startContainer))
                .sort((a, b) => a.compareBoundaryPoints(Range.START_TO_START, b));
            rect = ranges[index].getBoundingClientRect();
        }
        return { x: rect.left + rect.width / 2, y: rect.top + rect.height / 2 };
    }, [selector, n]);
}

function caret(page, selector) {
    return page.evaluate((sel) => {
        const el = document.querySelector(sel);
        if (el.tagName === 'TEXTAREA') return [el.selectionStart, el.selectionEnd];
        const r = getSelection().getRangeAt(0);
        return [r.startContainer.textContent, r.startOffset, document.activeElement === el];
    }, selector);
}

for (const [kind, selector] of [['textarea', '#kwirl-textarea'], ['contenteditable', '#kwirl-rich']]) {
    test(`${kind}: three misspellings underlined, caret kept, suggestion applied`, () =>
        scenario(`kwirl_typing-${kind}`, async ({ page, url }) => {
            await page.goto(url + '/');
            await page.evaluate((sel) => {
                const el = document.querySelector(sel);
                if (el.tagName === 'TEXTAREA') el.value = ''; else el.textContent = '';
            }, selector);
            await page.click(selector);
            await page.keyboard.type(SENTENCE);
            await page.keyboard.press('ArrowLeft');
            await page.keyboard.press('ArrowLeft');
            const before = await caret(page, selector);
            await page.evaluate(() => Verbarium.settled());
            assert.deepEqual(await page.evaluate((s) => Verbarium.misspelt(document.querySelector(s)), selector), MISSPELT);
            assert.deepEqual(await caret(page, selector), before);
            await page.screenshot({ path: require('node:path').join(process.env.VERBARIUM_SCREENSHOTS || '/tmp', `kwirl_typing-${kind}-marked.png`) });

            // Right-click the second word: the menu offers its suggestions.
            const at = await markCentre(page, selector, 1);
            await page.mouse.click(at.x, at.y, { button: 'right' });
            await page.waitForSelector('.vb-menu[role=menu] .vb-suggestion');
            const offered = await page.$$eval('.vb-menu .vb-suggestion', (els) => els.map((e) => e.textContent));
            assert.ok(offered.includes('letter'), offered.join(','));
            await page.click('.vb-menu .vb-suggestion >> text="letter"');
            await page.evaluate(() => Verbarium.settled());
            const text = await page.evaluate((s) => {
                const el = document.querySelector(s);
                return el.tagName === 'TEXTAREA' ? el.value : el.textContent;
            }, selector);
            assert.equal(text, 'I recieve a letter from my freind today');
            assert.deepEqual(await page.evaluate((s) => Verbarium.misspelt(document.querySelector(s)), selector),
                             ['recieve', 'freind']);

            // Keyboard: caret into "freind", Shift+F10, Enter takes the first suggestion.
            await page.keyboard.press('End');
            for (let i = 0; i < 8; i++) await page.keyboard.press('ArrowLeft');
            await page.keyboard.press('Shift+F10');
            await page.waitForSelector('.vb-menu .vb-suggestion');
            const first = await page.textContent('.vb-menu .vb-suggestion');
            await page.keyboard.press('Enter');
            await page.evaluate(() => Verbarium.settled());
            assert.match(await page.evaluate((s) => {
                const el = document.querySelector(s);
                return el.tagName === 'TEXTAREA' ? el.value : el.textContent;
            }, selector), new RegExp(`my ${first} today$`));
        }));
}
