// The dialog's Grammar and Thesaurus tabs: a grammar variant and a synonym replace their words.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario, openDialog, dialogSettled } = require('./harness');

test('a grammar variant and a synonym are applied', () =>
    scenario('dialog_tabs', async ({ page, url }) => {
        await page.goto(url + '/');
        await page.fill('#dialog-field', 'I ate a apple and felt happy.');
        const frame = await openDialog(page, '#dialog-field');
        assert.ok(await frame.isVisible('#tab-grammar'));
        assert.ok(await frame.isVisible('#tab-thes'));

        await frame.click('#tab-grammar');
        await dialogSettled(frame);
        await frame.waitForSelector('#choices [role=option]');
        assert.equal(await frame.textContent('#pane [data-problem].current'), 'a apple');
        assert.match(await frame.textContent('#explain'), /Article/);
        assert.equal(await frame.inputValue('#changeTo'), 'an apple');
        await frame.click('#change');
        await dialogSettled(frame);

        await frame.click('#tab-thes');
        await dialogSettled(frame);
        await frame.click('#pane [data-problem] >> text="happy"');
        await dialogSettled(frame);
        await frame.waitForSelector('#choices [role=group]');
        const synonym = await frame.textContent('#choices [role=option][aria-selected=true]');
        await frame.click('#change');
        await dialogSettled(frame);
        await frame.click('#finish');
        await page.waitForSelector('iframe.vb-frame', { state: 'detached' });
        assert.equal(await page.inputValue('#dialog-field'), `I ate an apple and felt ${synonym}.`);
    }));
